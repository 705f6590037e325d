// The object broker's root of every registered class, and class values.
//
// A class is identified by the address of its class-identity object:
//
//   class tThing : public virtual nQoORB100::tObject {
//    public:
//     static void* ___classID;
//     void* ___CPPKRLDynamicCast(void* const* id) override {
//       return id == &___classID ? this : nQoORB100::tObject::___CPPKRLDynamicCast(id);
//     }
//   };
#pragma once

namespace nQoORB100 {

class tClassImplementation;
class tObject;

// A value that holds a pointer to a class registration (empty when none).
class tClass {
 public:
  constexpr tClass() = default;
  constexpr explicit tClass(const tClassImplementation* implementation)
      : _implementation(implementation) {}

  const tClassImplementation* implementation() const { return _implementation; }
  bool isEmpty() const { return _implementation == nullptr; }
  // Null with the status set when the class is empty or the factory fails.
  tObject* newInstance(int& status) const;
  void deleteInstance(tObject* object, int& status) const;
  const char* getName() const;

 private:
  const tClassImplementation* _implementation = nullptr;
};

class tObject {
 public:
  tObject() = default;
  // The class cell belongs to the object, never to its source.
  tObject(const tObject&) {}
  // NOLINTNEXTLINE(bugprone-unhandled-self-assignment): it copies nothing.
  tObject& operator=(const tObject&) { return *this; }
  virtual ~tObject();

  virtual void* ___CPPKRLDynamicCast(void* const* classID);
  virtual const void* ___CPPKRLDynamicCast(void* const* classID) const;
  virtual tClass getClass(int& status) const;
  virtual tObject* ___ORBGetTObject();

  // The object's class cell, empty until a getClass fills it.
  const tClassImplementation*& getTObjectClass(int& status) const;

  static void* ___classID;

 private:
  mutable const tClassImplementation* _class = nullptr;
};

}  // namespace nQoORB100
