#include "platform/MessageBox.h"

#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>
#include <mutex>

#include "platform/ProgramFolder.h"

namespace plat {
namespace {

std::mutex g_mutex;
std::function<int(const MessageBoxRecord&)> g_boxDouble;
std::function<bool(const std::string&, std::vector<std::string>&)> g_dialogDouble;
std::vector<MessageBoxRecord> g_records;

QMessageBox::Icon IconFor(unsigned flags) {
  switch (flags & 0xF0) {
    case MB_ICONERROR:
      return QMessageBox::Critical;
    case MB_ICONQUESTION:
      return QMessageBox::Question;
    case MB_ICONWARNING:
      return QMessageBox::Warning;
    case MB_ICONINFORMATION:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

int ShowReal(QWidget* parent, const MessageBoxRecord& r) {
  QMessageBox box(IconFor(r.flags), QString::fromStdString(r.caption),
                  QString::fromStdString(r.text), QMessageBox::NoButton, parent);
  int escapeResult = IDOK;
  switch (r.flags & 0xF) {
    case MB_OKCANCEL:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      escapeResult = IDCANCEL;
      break;
    case MB_YESNOCANCEL:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      escapeResult = IDCANCEL;
      break;
    case MB_YESNO:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      escapeResult = IDNO;
      break;
    default:
      box.setStandardButtons(QMessageBox::Ok);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Ok:
      return IDOK;
    case QMessageBox::Cancel:
      return IDCANCEL;
    case QMessageBox::Yes:
      return IDYES;
    case QMessageBox::No:
      return IDNO;
    default:
      return escapeResult;
  }
}

// "Name|*.a;*.b|Other|*.c" -> "Name (*.a *.b);;Other (*.c)".
QString QtFilter(const std::string& filter) {
  const QString f = QString::fromStdString(filter);
  if (!f.contains('|')) return f;
  const QStringList parts = f.split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    QString name = parts[i];
    // Names often repeat their patterns already: "Video (*.avi)".
    out << (name.contains('(') ? name + " [" + patterns.simplified() + "]"
                               : name + " (" + patterns.simplified() + ")");
  }
  if (parts.size() % 2 == 1 && !parts.last().isEmpty()) out << parts.last();
  return out.join(";;");
}

}  // namespace

std::string ToQtFileFilter(const std::string& filter) { return QtFilter(filter).toStdString(); }

int MessageBox(QWidget* parent, const std::string& text, const std::string& caption,
               unsigned flags) {
  MessageBoxRecord r{text, caption, flags};
  std::function<int(const MessageBoxRecord&)> answer;
  {
    std::lock_guard lk(g_mutex);
    g_records.push_back(r);
    answer = g_boxDouble;
  }
  if (answer) return answer(r);
  return ShowReal(parent, r);
}

void SetMessageBoxDouble(std::function<int(const MessageBoxRecord&)> answer) {
  std::lock_guard lk(g_mutex);
  g_boxDouble = std::move(answer);
}

std::vector<MessageBoxRecord> RecordedMessageBoxes() {
  std::lock_guard lk(g_mutex);
  return g_records;
}

void ClearRecordedMessageBoxes() {
  std::lock_guard lk(g_mutex);
  g_records.clear();
}

namespace {

// The whole program under a user-flow test: $LUMORA_DIALOG_ANSWERS names a file whose lines
// are the paths the next dialog returns (no file or no lines: cancelled). Each dialog's title
// is appended to the same name with ".log", so the test sees which dialog opened.
std::function<bool(const std::string&, std::vector<std::string>&)> EnvironmentDialogDouble() {
  const QString answers = qEnvironmentVariable("LUMORA_DIALOG_ANSWERS");
  if (answers.isEmpty()) return {};
  return [answers](const std::string& title, std::vector<std::string>& out) {
    QFile log(answers + ".log");
    if (log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
      log.write(QByteArray::fromStdString(title) + "\n");
    QFile f(answers);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return false;
    out.clear();
    for (const QByteArray& line : f.readAll().split('\n'))
      if (!line.trimmed().isEmpty()) out.push_back(line.trimmed().toStdString());
    return !out.empty();
  };
}

}  // namespace

void SetFileDialogDouble(
    std::function<bool(const std::string& title, std::vector<std::string>& out)> d) {
  std::lock_guard lk(g_mutex);
  g_dialogDouble = std::move(d);
}

bool GetOpenFileNames(QWidget* parent, const std::string& title, const std::string& filter,
                      std::vector<std::string>& out, bool multi) {
  std::function<bool(const std::string&, std::vector<std::string>&)> dbl;
  {
    std::lock_guard lk(g_mutex);
    dbl = g_dialogDouble;
  }
  if (!dbl) dbl = EnvironmentDialogDouble();
  if (dbl) {
    std::vector<std::string> chosen;
    if (!dbl(title, chosen) || chosen.empty()) return false;
    if (!multi) chosen.resize(1);
    out = std::move(chosen);
    return true;
  }
  const QString caption = QString::fromStdString(title);
  const QString qfilter = QtFilter(filter);
  QStringList files;
  if (multi) {
    files = QFileDialog::getOpenFileNames(parent, caption, QString(), qfilter);
  } else {
    QString one = QFileDialog::getOpenFileName(parent, caption, QString(), qfilter);
    if (!one.isEmpty()) files << one;
  }
  if (files.isEmpty()) return false;
  out.clear();
  for (const QString& f : files) out.push_back(f.toStdString());
  return true;
}

bool BrowseForFolder(QWidget* parent, const std::string& title, std::string& inOut) {
  std::function<bool(const std::string&, std::vector<std::string>&)> dbl;
  {
    std::lock_guard lk(g_mutex);
    dbl = g_dialogDouble;
  }
  if (!dbl) dbl = EnvironmentDialogDouble();
  if (dbl) {
    std::vector<std::string> chosen{inOut};
    if (!dbl(title, chosen) || chosen.empty() || chosen[0].empty()) return false;
    inOut = WithTrailingSlash(chosen[0]);
    return true;
  }
  const QString dir = QFileDialog::getExistingDirectory(parent, QString::fromStdString(title),
                                                        QString::fromStdString(inOut));
  if (dir.isEmpty()) return false;
  inOut = WithTrailingSlash(dir.toStdString());
  return true;
}

}  // namespace plat
