#include "CancelToken.h"

#include <cstdint>
#include <sys/eventfd.h>
#include <unistd.h>

namespace quillory {

namespace {
thread_local const CancelToken* current = nullptr;
}

CancelToken::CancelToken() : fd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

CancelToken::~CancelToken() {
    if (fd != -1)
        close(fd);
}

void CancelToken::Cancel() {
    if (cancelled.exchange(true, std::memory_order_acq_rel))
        return;
    if (fd != -1) {
        uint64_t one = 1;
        [[maybe_unused]] ssize_t n = write(fd, &one, sizeof one);
    }
}

const CancelToken* CancelToken::Current() {
    return current;
}

CancelToken::Scope::Scope(const CancelToken* token) : previous(current) {
    current = token;
}

CancelToken::Scope::~Scope() {
    current = previous;
}

} // namespace quillory
