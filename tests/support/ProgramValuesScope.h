// Program-wide values for one test: the constructor saves app::G() and starts
// the test from the values a fresh program has; the destructor puts the saved
// values back, so no test sees what another one set.
#pragma once

#include "program/ProgramValues.h"

namespace test_support {

class ProgramValuesScope {
  public:
    ProgramValuesScope() : saved_(app::G()) { app::G() = app::Globals{}; }
    ~ProgramValuesScope() { app::G() = saved_; }
    ProgramValuesScope(const ProgramValuesScope&) = delete;
    ProgramValuesScope& operator=(const ProgramValuesScope&) = delete;

  private:
    app::Globals saved_;
};

}  // namespace test_support
