#pragma once

namespace quillory {

// The one instance of T, created with T's default constructor on first use and deleted at process
// exit. A call after that deletion creates a fresh instance (which then lives until the very end).
template <typename T> class Singleton {
public:
    static T& Instance() {
        if (instance == nullptr) {
            instance = new T();
            (void)holder; // odr-use so the holder is constructed and destroys the instance at exit
        }
        return *instance;
    }

private:
    struct Holder {
        ~Holder() {
            delete instance;
            instance = nullptr;
        }
    };
    static inline T* instance = nullptr;
    static inline Holder holder;
};

} // namespace quillory
