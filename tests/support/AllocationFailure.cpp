#include "tests/support/AllocationFailure.h"

#include <cstdlib>
#include <new>

namespace {

// Allocations of at least `minimum` bytes left before the planned failure;
// 0 when none is planned.
long countdown = 0;
std::size_t minimum = 0;
bool struck = false;

void* Allocate(std::size_t size) {
  if (countdown > 0 && size >= minimum && --countdown == 0) {
    struck = true;
    throw std::bad_alloc();
  }
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }

namespace Kestrova_Orvane {
namespace test_support {

AllocationFailure::AllocationFailure(long nth, std::size_t minimumSize) {
  struck = false;
  minimum = minimumSize;
  countdown = nth;
}

AllocationFailure::~AllocationFailure() { countdown = 0; }

bool AllocationFailure::Struck() const { return struck; }

}  // namespace test_support
}  // namespace Kestrova_Orvane
