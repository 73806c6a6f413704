// Draws the desktop icons at build time with the window icon's own code:
//   icon_tool OUTPUT.png SIZE
#include <QImage>
#include <QString>
#include <cstdio>

#include "looks.h"

int main(int argc, char* argv[]) {
  if (argc != 3) {
    std::fputs("usage: icon_tool OUTPUT.png SIZE\n", stderr);
    return 2;
  }
  const int size = QString::fromLocal8Bit(argv[2]).toInt();
  if (size < 16 || size > 1024) {
    std::fprintf(stderr, "icon_tool: size %s is not between 16 and 1024\n", argv[2]);
    return 2;
  }
  if (!ui::DrawAppIcon(size).save(QString::fromLocal8Bit(argv[1]), "PNG")) {
    std::fprintf(stderr, "icon_tool: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
