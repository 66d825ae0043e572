#pragma once

#include <QIcon>
#include <QPixmap>

namespace quillory::Icons {

// Makes the compiled-in pictures available; call once before Get.
void Init();
// The picture with a resource number of AppIds.h; an empty icon for an unknown number.
QIcon Get(int id);
QPixmap Pixmap(int id, int size);

} // namespace quillory::Icons
