// orben_web_pictures FOLDER: draws the pictures of the windows that the
// browser page shows (lamps, toolbar icons, button glyphs, the chip, the
// processor, the arithmetic-logic unit) into FOLDER as PNG files, from the
// same drawing code as the desktop, so that both look alike to the pixel.
// With --check it draws them again and compares them with the files
// already in FOLDER instead, naming each that differs or is missing (exit
// 1): the page's pictures are kept in the tree, and a change to the
// drawing must renew them (make web-glyphs).

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QString>

#include <cstdio>
#include <utility>
#include <vector>

#include "windows/pictures.h"

namespace orben {
namespace {

std::vector<std::pair<QString, QPixmap>> pagePictures() {
  std::vector<std::pair<QString, QPixmap>> pictures;
  const std::pair<const char*, LampColour> lamps[] = {
      {"roja", LampColour::Red}, {"verde", LampColour::Green}, {"ambar", LampColour::Amber}};
  for (const auto& [name, colour] : lamps) {
    pictures.emplace_back(QStringLiteral("lampara_%1_apagada").arg(QLatin1String(name)),
                          lampPicture(colour, false));
    pictures.emplace_back(QStringLiteral("lampara_%1_encendida").arg(QLatin1String(name)),
                          lampPicture(colour, true));
  }
  for (int i = 0; i < kToolbarIconCount; ++i) {
    pictures.emplace_back(QStringLiteral("icono_%1").arg(i), toolbarIcon(i));
  }
  const std::pair<const char*, Glyph> glyphs[] = {
      {"BOnOff", Glyph::Power},         {"BPasoPaso", Glyph::Step}, {"BDireccion", Glyph::Address},
      {"BRegistros", Glyph::Registers}, {"BCargar", Glyph::Load},   {"BEjecutar", Glyph::Execute},
      {"BContinuar", Glyph::Continue},  {"LiveButton1", Glyph::Ok}, {"LiveButton2", Glyph::Cancel},
  };
  for (const auto& [name, which] : glyphs) {
    pictures.emplace_back(QStringLiteral("glifo_%1").arg(QLatin1String(name)), glyph(which));
    pictures.emplace_back(QStringLiteral("glifo_%1_inactivo").arg(QLatin1String(name)),
                          glyph(which, true));
  }
  pictures.emplace_back(QStringLiteral("chip"), chipPicture());
  pictures.emplace_back(QStringLiteral("procesador"), processorPicture());
  pictures.emplace_back(QStringLiteral("alu"), aluPicture());
  return pictures;
}

int run(const QString& folder, bool check) {
  QDir dir(folder);
  if (!check && !dir.mkpath(QStringLiteral("."))) {
    std::fprintf(stderr, "cannot make %s\n", qPrintable(folder));
    return 1;
  }
  int failures = 0;
  for (const auto& [name, picture] : pagePictures()) {
    const QString path = dir.filePath(name + QStringLiteral(".png"));
    const QImage drawn = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    if (check) {
      const QImage kept = QImage(path).convertToFormat(QImage::Format_ARGB32);
      if (kept != drawn) {
        std::fprintf(stderr, "%s is not what the windows draw\n", qPrintable(path));
        ++failures;
      }
    } else if (!drawn.save(path)) {
      std::fprintf(stderr, "cannot save %s\n", qPrintable(path));
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}

}  // namespace
}  // namespace orben

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList args = QApplication::arguments().mid(1);
  const bool check = args.contains(QStringLiteral("--check"));
  QStringList folders = args;
  folders.removeAll(QStringLiteral("--check"));
  if (folders.size() != 1) {
    std::fprintf(stderr, "usage: orben_web_pictures [--check] FOLDER\n");
    return 2;
  }
  return orben::run(folders.front(), check);
}
