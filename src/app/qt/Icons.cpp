#include "app/qt/Icons.h"

#include <QFile>

#include <iterator>

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
    static const char* const files[] = {"alert", "quillory", "blink-on", "blink-off", "busy", "add", "edit", "delete"};
    if (id < 0 || id >= static_cast<int>(std::size(files)))
        return QIcon();
    const QString path = QString(":/icons/%1.svg").arg(files[id]);
    if (!QFile::exists(path))
        return QIcon();
    return QIcon(path);
}

QPixmap Pixmap(int id, int size) {
    return Get(id).pixmap(size, size);
}

} // namespace quillory::Icons
