// The running program on Windows.
#pragma once

#include "platform/app.h"

namespace promptella {

class Win32Application : public Application {
 public:
  std::string folder() const override;
  void terminate(int exitCode) override;
};

}  // namespace promptella
