// Ownership of arrays that are handed over to callers who release them with free(): held in a
// KV_MallocArray until then, so that every early return frees them.
#ifndef KV_FREEDELETER_H
#define KV_FREEDELETER_H

#include <cstddef>
#include <cstdlib>
#include <memory>

struct KV_FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};

template <typename T>
using KV_MallocArray = std::unique_ptr<T[], KV_FreeDeleter>;

// count elements from malloc (at least one, so that an empty array is not taken for a failure);
// null when the memory cannot be had.
template <typename T>
KV_MallocArray<T> kvMallocArray(std::size_t count) {
    return KV_MallocArray<T>(static_cast<T*>(std::malloc(sizeof(T) * (count ? count : 1))));
}

#endif
