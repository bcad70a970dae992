// Makes one allocation fail with std::bad_alloc, as when memory runs out.
// Linked into the test program of each build, which then has its global
// operator new replaced (AllocationFailure.cpp).
#ifndef KESORV_TESTS_SUPPORT_ALLOCATIONFAILURE_H
#define KESORV_TESTS_SUPPORT_ALLOCATIONFAILURE_H

#include <cstddef>

namespace Kestrova_Orvane {
namespace test_support {

class AllocationFailure {
 public:
  // The `nth` allocation from now (1 = the next) of at least `minimumSize`
  // bytes throws; all others succeed.
  explicit AllocationFailure(long nth, std::size_t minimumSize = 0);
  // Disarms a failure that has not struck.
  ~AllocationFailure();
  AllocationFailure(const AllocationFailure&) = delete;
  AllocationFailure& operator=(const AllocationFailure&) = delete;

  bool Struck() const;
};

}  // namespace test_support
}  // namespace Kestrova_Orvane

#endif
