#pragma once
// What a frame can show: the base of mesh builders.

#include "platform/rm/Object.h"

namespace rm {

class Visual : public Object {
  protected:
    using Object::Object;
};

}  // namespace rm
