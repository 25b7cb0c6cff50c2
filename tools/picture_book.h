#pragma once

// What the picture programs orben_gallery and orben_screens share: the
// folder named on their command line, saving pictures into it, reporting a
// failure, and waiting on the event loop.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <functional>

namespace orben {

// Runs the event loop until `done` holds or two seconds have passed.
inline bool waitFor(const std::function<bool()>& done) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.hasExpired(2000)) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

// Pictures saved as PNG files into one folder; every failure is reported on
// stderr under the program's name and remembered.
class PictureBook {
 public:
  PictureBook(const char* program, const QString& folder) : program_(program), folder_(folder) {}

  // The folder named by the only argument, made when missing; on a wrong
  // command line, a usage line and status 2; when it cannot be made, 1.
  static int folderOf(int argc, char** argv, const char* program, QString& folder) {
    if (argc != 2) {
      std::fprintf(stderr, "usage: %s FOLDER\n", program);
      return 2;
    }
    folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
      std::fprintf(stderr, "%s: cannot make %s\n", program, argv[1]);
      return 1;
    }
    return 0;
  }

  void save(const QImage& image, const char* file) {
    const QString path = folder_ + QLatin1Char('/') + QLatin1String(file);
    if (image.isNull() || !image.save(path)) fail(QStringLiteral("cannot save ") + path);
    saved_ << QLatin1String(file);
  }
  // Removes the PNG files of the folder that this run did not save, so that
  // the folder holds exactly the pictures of the program as it is now.
  void removeOthers() {
    QDir folder(folder_);
    for (const QString& file : folder.entryList({QStringLiteral("*.png")}, QDir::Files)) {
      if (saved_.contains(file)) continue;
      if (folder.remove(file)) {
        std::fprintf(stderr, "%s: removed %s, no longer made\n", program_, qPrintable(file));
      } else {
        fail(QStringLiteral("cannot remove ") + folder.filePath(file));
      }
    }
  }
  // Always false, so that a step can `return fail(...)`.
  bool fail(const QString& why) {
    std::fprintf(stderr, "%s: %s\n", program_, qPrintable(why));
    ok_ = false;
    return false;
  }
  bool ok() const { return ok_; }

 private:
  const char* program_;
  QString folder_;
  QStringList saved_;
  bool ok_ = true;
};

}  // namespace orben
