#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include "TestApp.h"
#include "platform/Drives.h"

using namespace plat;

namespace {

TEST(DrivesTest, DrivesComeInDeviceOrder) {
  QTemporaryDir sys;
  for (const char* n : {"sr10", "sda", "sr2", "sr0", "loop0"}) QDir(sys.path()).mkdir(n);
  qputenv("LUMORA_SYSFS_BLOCK", sys.path().toLocal8Bit());
  const auto drives = OpticalDrives();
  qunsetenv("LUMORA_SYSFS_BLOCK");
  ASSERT_EQ(drives.size(), 3u);
  EXPECT_EQ(drives[0].name, "sr0");
  EXPECT_EQ(drives[1].name, "sr2");
  EXPECT_EQ(drives[2].name, "sr10");
  EXPECT_EQ(drives[1].device, "/dev/sr2");
  // Not mounted: the device node stands for the root.
  EXPECT_FALSE(drives[1].mounted);
  EXPECT_EQ(drives[1].root, "/dev/sr2");
}

TEST(DrivesTest, LabelsComeFromDiscImagesAndFoldersHaveNone) {
  QTemporaryDir dir;
  std::string label = "stale";
  EXPECT_TRUE(GetVolumeLabel(dir.path().toStdString() + "/", label));
  EXPECT_EQ(label, "");
  EXPECT_FALSE(GetVolumeLabel(dir.path().toStdString() + "/missing.iso", label));
  EXPECT_FALSE(GetVolumeLabel("", label));
  const std::string junk = dir.path().toStdString() + "/junk.iso";
  WriteAll(junk, std::string(70000, 'j'));
  EXPECT_FALSE(GetVolumeLabel(junk, label));

  const QString tool = QStandardPaths::findExecutable("genisoimage");
  if (tool.isEmpty()) GTEST_SKIP() << "genisoimage not installed";
  QDir(dir.path()).mkpath("src/VIDEO_TS");
  WriteAll(dir.path().toStdString() + "/src/VIDEO_TS/VIDEO_TS.IFO", "x");
  const QString iso = dir.path() + "/disc.iso";
  ASSERT_EQ(
      QProcess::execute(tool, {"-quiet", "-V", "HOLIDAY_2024", "-o", iso, dir.path() + "/src"}), 0);
  EXPECT_TRUE(GetVolumeLabel(iso.toStdString(), label));
  EXPECT_EQ(label, "HOLIDAY_2024");
}

TEST(DrivesTest, DeviceNodesCanComeFromATestFolder) {
  QTemporaryDir sys, dev;
  QDir(sys.path()).mkdir("sr0");
  qputenv("LUMORA_SYSFS_BLOCK", sys.path().toLocal8Bit());
  qputenv("LUMORA_DEV_DIR", dev.path().toLocal8Bit());
  const auto drives = OpticalDrives();
  qunsetenv("LUMORA_SYSFS_BLOCK");
  qunsetenv("LUMORA_DEV_DIR");
  ASSERT_EQ(drives.size(), 1u);
  EXPECT_EQ(drives[0].device, dev.path().toStdString() + "/sr0");
  EXPECT_EQ(drives[0].root, drives[0].device);
}

TEST(DrivesTest, TopFoldersOfFoldersAndImagesAreFoundInAnyCase) {
  QTemporaryDir dir;
  const std::string root = dir.path().toStdString() + "/";
  QDir(dir.path()).mkpath("mounted/video_ts");
  QDir(dir.path()).mkpath("plain/DOCS");
  WriteAll(root + "plain/VIDEO_TS", "a file, not a folder");
  std::string path;
  EXPECT_TRUE(DiscHasFolder(root + "mounted/", "VIDEO_TS", &path));
  EXPECT_EQ(path, root + "mounted/video_ts/");
  EXPECT_TRUE(DiscHasFolder(root + "mounted", "VIDEO_TS"));
  EXPECT_FALSE(DiscHasFolder(root + "plain/", "VIDEO_TS"));
  EXPECT_FALSE(DiscHasFolder(root + "missing/", "VIDEO_TS"));
  EXPECT_FALSE(DiscHasFolder("", "VIDEO_TS"));
  const std::string junk = root + "junk.iso";
  WriteAll(junk, std::string(70000, 'j'));
  EXPECT_FALSE(DiscHasFolder(junk, "VIDEO_TS"));

  const QString tool = QStandardPaths::findExecutable("genisoimage");
  if (tool.isEmpty()) GTEST_SKIP() << "genisoimage not installed";
  QDir(dir.path()).mkpath("src/VIDEO_TS");
  QDir(dir.path()).mkpath("src/MPEGAV");
  WriteAll(root + "src/VIDEO_TS/VIDEO_TS.IFO", "x");
  const QString iso = dir.path() + "/disc.iso";
  ASSERT_EQ(QProcess::execute(tool, {"-quiet", "-V", "X", "-o", iso, dir.path() + "/src"}), 0);
  path.clear();
  EXPECT_TRUE(DiscHasFolder(iso.toStdString(), "VIDEO_TS", &path));
  EXPECT_EQ(path, iso.toStdString());  // the engine opens the image itself
  EXPECT_TRUE(DiscHasFolder(iso.toStdString(), "mpegav"));
  EXPECT_FALSE(DiscHasFolder(iso.toStdString(), "AUDIO_TS"));
}

TEST(DrivesTest, SerialsTellDiscsWithTheSameLabelApart) {
  QTemporaryDir dir;
  const std::string root = dir.path().toStdString() + "/";
  QDir(dir.path()).mkpath("one/video_ts");
  QDir(dir.path()).mkpath("two/VIDEO_TS");
  WriteAll(root + "one/video_ts/video_ts.ifo", "DVDVIDEO-VMG first disc");
  WriteAll(root + "two/VIDEO_TS/VIDEO_TS.IFO", "DVDVIDEO-VMG second disc");
  std::string a, again, b;
  ASSERT_TRUE(GetDiscSerial(root + "one/", a));
  ASSERT_TRUE(GetDiscSerial(root + "one", again));
  ASSERT_TRUE(GetDiscSerial(root + "two/", b));
  EXPECT_EQ(a, again);
  EXPECT_NE(a, b);
  EXPECT_FALSE(a.empty());
  std::string none;
  EXPECT_FALSE(GetDiscSerial(root, none));  // no VIDEO_TS
  EXPECT_FALSE(GetDiscSerial(root + "missing/", none));
  const std::string junk = root + "junk.iso";
  WriteAll(junk, std::string(70000, 'j'));
  EXPECT_FALSE(GetDiscSerial(junk, none));

  const QString tool = QStandardPaths::findExecutable("genisoimage");
  if (tool.isEmpty()) GTEST_SKIP() << "genisoimage not installed";
  // Two images with one label: their descriptors still differ (sizes, dates).
  WriteAll(root + "two/VIDEO_TS/VTS_01_1.VOB", std::string(300000, 'v'));
  const QString iso1 = dir.path() + "/one.iso", iso2 = dir.path() + "/two.iso";
  ASSERT_EQ(QProcess::execute(tool, {"-quiet", "-V", "FILM", "-o", iso1, dir.path() + "/one"}), 0);
  ASSERT_EQ(QProcess::execute(tool, {"-quiet", "-V", "FILM", "-o", iso2, dir.path() + "/two"}), 0);
  std::string i1, i1again, i2;
  ASSERT_TRUE(GetDiscSerial(iso1.toStdString(), i1));
  ASSERT_TRUE(GetDiscSerial(iso1.toStdString(), i1again));
  ASSERT_TRUE(GetDiscSerial(iso2.toStdString(), i2));
  EXPECT_EQ(i1, i1again);
  EXPECT_NE(i1, i2);
}

TEST(DrivesTest, ADriveThatDoesNotAnswerCountsAsEmptyAfterTheTimeout) {
  // Opening a pipe for reading waits for a writer, as a dead drive keeps its reader waiting.
  QTemporaryDir dir;
  const std::string fifo = dir.path().toStdString() + "/sr9";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  SetProbeTimeout(200);
  std::string label;
  EXPECT_FALSE(GetVolumeLabel(fifo, label));
  EXPECT_FALSE(DiscHasFolder(fifo, "VIDEO_TS"));
  SetProbeTimeout(1500);
  // Let the stuck probes finish.
  for (int i = 0; i < 2; ++i) {
    int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0) ::close(fd);
    QThread::msleep(50);
  }
}

TEST(DrivesTest, DiscEventsAreClassified) {
  EXPECT_EQ(ClassifyDiscEvent("change", "/dev/sr0", {"DISK_MEDIA_CHANGE=1", "ID_CDROM_MEDIA=1"}),
            kDeviceArrival);
  EXPECT_EQ(ClassifyDiscEvent("change", "/dev/sr1", {"DISK_MEDIA_CHANGE=1"}), kDeviceRemoval);
  EXPECT_EQ(ClassifyDiscEvent("change", "/dev/sr0", {"DISK_EJECT_REQUEST=1", "ID_CDROM_MEDIA=1"}),
            kDeviceRemoval);
  EXPECT_EQ(ClassifyDiscEvent("change", "/dev/sda", {"DISK_MEDIA_CHANGE=1", "ID_CDROM_MEDIA=1"}),
            0u);
  EXPECT_EQ(ClassifyDiscEvent("add", "/dev/sr0", {"ID_CDROM_MEDIA=1"}), 0u);
  EXPECT_EQ(ClassifyDiscEvent("change", "/dev/sr0", {"ID_CDROM_MEDIA=1"}), 0u);
  EXPECT_EQ(ClassifyDiscEvent("", "", {}), 0u);
}

TEST(DrivesTest, TrayCommandsAndDoubles) {
  EXPECT_FALSE(OpenTray("/nonexistent/sr9"));
  EXPECT_FALSE(CloseTray("/dev/null"));  // not a drive: the ioctl is refused

  std::vector<std::pair<std::string, bool>> calls;
  SetTrayDouble([&](const std::string& dev, bool open) {
    calls.emplace_back(dev, open);
    return true;
  });
  SetDrivesDouble([] {
    return std::vector<OpticalDrive>{{"sr0", "/dev/sr0", "/media/DISC/", true}};
  });
  SetVolumeLabelDouble([](const std::string& root, std::string& label) {
    label = "DISC";
    return root == "/media/DISC/";
  });
  EXPECT_TRUE(OpenTray("/dev/sr0"));
  EXPECT_TRUE(CloseTray("/dev/sr0"));
  ASSERT_EQ(OpticalDrives().size(), 1u);
  std::string label;
  EXPECT_TRUE(GetVolumeLabel(OpticalDrives()[0].root, label));
  EXPECT_EQ(label, "DISC");
  SetTrayDouble({});
  SetDrivesDouble({});
  SetVolumeLabelDouble({});
  EXPECT_EQ(calls,
            (std::vector<std::pair<std::string, bool>>{{"/dev/sr0", true}, {"/dev/sr0", false}}));
}

}  // namespace
