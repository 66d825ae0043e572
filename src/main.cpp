#include "app/qt/Startup.h"

int main(int argc, char** argv) {
    return quillory::RunQuillory(argc, argv);
}
