// The typed-resource part of a pool: the resource pointer that a reserver
// reads after a successful cast. The pool does not own it.
#pragma once

namespace nQoMRL120 {

template <class P>
class iTypeSafeResource {
 public:
  explicit iTypeSafeResource(P resource) : _resource(resource) {}
  virtual ~iTypeSafeResource() = default;
  P getResource() const { return _resource; }

 private:
  P _resource;
};

}  // namespace nQoMRL120
