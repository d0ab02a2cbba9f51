#pragma once
// The two ways a job ends early.

#include <stdexcept>

namespace quillon {

// A failure that ends the job. The message names the step and the path or
// tool involved, ready to be shown to the user.
class JobError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The user closed the main window while a job was running.
class JobCancelled : public std::runtime_error {
 public:
  JobCancelled() : std::runtime_error("The job was cancelled because the window was closed.") {}
};

}  // namespace quillon
