// Writes msg_dlg_icons.bmp and zorbit_product.png into the folder given as argument.
#include "artwork.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_artwork <images folder>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    bool ok = writeBmpWithAlpha(drawDialogIconStrip(), out.filePath(QStringLiteral("msg_dlg_icons.bmp")));
    ok = drawProductPicture().save(out.filePath(QStringLiteral("zorbit_product.png"))) && ok;
    return ok ? 0 : 1;
}
