// Modal message boxes and file/folder dialogs, each with a test double.
#pragma once

#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace plat {

enum : unsigned {
  MB_OK = 0x0,
  MB_OKCANCEL = 0x1,
  MB_YESNOCANCEL = 0x3,
  MB_YESNO = 0x4,
  MB_ICONERROR = 0x10,
  MB_ICONQUESTION = 0x20,
  MB_ICONWARNING = 0x30,
  MB_ICONINFORMATION = 0x40,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

int MessageBox(QWidget* parent, const std::string& text, const std::string& caption,
               unsigned flags);

struct MessageBoxRecord {
  std::string text, caption;
  unsigned flags = 0;
};
// Tests: record and answer without showing anything; an empty function restores QMessageBox.
void SetMessageBoxDouble(std::function<int(const MessageBoxRecord&)> answer);
// Every box shown (real or double) is recorded.
std::vector<MessageBoxRecord> RecordedMessageBoxes();
void ClearRecordedMessageBoxes();

// filter uses the Windows form "Name|*.a;*.b|Other|*.c" or Qt's "Name (*.a *.b);;...".
bool GetOpenFileNames(QWidget* parent, const std::string& title, const std::string& filter,
                      std::vector<std::string>& out, bool multi);
// inOut: start folder in, chosen folder (ending with '/') out.
bool BrowseForFolder(QWidget* parent, const std::string& title, std::string& inOut);
// Tests: answer the dialogs without showing them; empty function restores QFileDialog.
// For BrowseForFolder the double gets out = {start folder} and returns the chosen one in out[0].
void SetFileDialogDouble(
    std::function<bool(const std::string& title, std::vector<std::string>& out)>);

// Turns "Name|*.a;*.b|..." into Qt's "Name (*.a *.b);;..."; Qt filters pass unchanged.
std::string ToQtFileFilter(const std::string& filter);

}  // namespace plat
