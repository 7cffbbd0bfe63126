#pragma once

#include <stdexcept>

/// A call that the object's present state does not allow, such as a bound beyond the other bound.
class EInvalidOperation : public std::runtime_error
{
  public:
    using std::runtime_error::runtime_error;
};
