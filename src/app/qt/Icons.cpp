#include "app/qt/Icons.h"

#include <QFile>

// The resource initialiser must be called from the global namespace.
static void InitQuilloryResources() {
    Q_INIT_RESOURCE(quillory);
}

namespace quillory::Icons {

void Init() {
    static bool done = false;
    if (!done) {
        InitQuilloryResources();
        done = true;
    }
}

QIcon Get(int id) {
    Init();
    QString path = QString(":/icons/%1.svg").arg(id);
    if (!QFile::exists(path))
        return QIcon();
    return QIcon(path);
}

QPixmap Pixmap(int id, int size) {
    return Get(id).pixmap(size, size);
}

} // namespace quillory::Icons
