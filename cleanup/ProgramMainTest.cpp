// Exceptions inside a whole run, in process, against whichever registry and
// drive this build has. In the Windows build this also shows that C++
// exceptions are caught in an image that declares NO_SEH.
#include "cleanup/ProgramMain.h"

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/AllocationFailure.h"
#include "tests/support/CommandLineCase.h"
#include "tests/support/TestDrive.h"

namespace Kestrova_Orvane {
namespace {

using test_support::AllocationFailure;
using test_support::TestDrive;

// Runs the tool for `arguments` with its first allocation failing.
int RunWithFirstAllocationFailing(std::vector<std::string> arguments, bool& struck) {
  test_support::ArgumentVector argv(std::move(arguments));
  AllocationFailure failure(1);
  const int status = ProgramMain(argv.Count(), argv.Values());
  struck = failure.Struck();
  return status;
}

TEST(ProgramMainTest, ExceptionInsideTheWorkIsLoggedAndTheRunEndsNormally) {
  TestDrive drive;
  bool struck = false;
  // The first allocation of a removal run is the Run key's path, inside the
  // work and before any registry call.
  EXPECT_EQ(0, RunWithFirstAllocationFailing({"KesOrvCleanup.exe", "Orvane", "x"}, struck));
  EXPECT_TRUE(struck);
  EXPECT_EQ(TestDrive::Lines({"KesOrvCleanup::Init exception"}), TestDrive::LogBytes());
}

TEST(ProgramMainTest, ExceptionBeforeTheWorkIsDroppedSilently) {
  TestDrive drive;
  bool struck = false;
  // Copying a name this long from the command line is the first allocation.
  const std::string longName(100, 'N');
  EXPECT_EQ(0, RunWithFirstAllocationFailing({"KesOrvCleanup.exe", longName, "x"}, struck));
  EXPECT_TRUE(struck);
  EXPECT_EQ(std::nullopt, TestDrive::LogBytes());
}

}  // namespace
}  // namespace Kestrova_Orvane
