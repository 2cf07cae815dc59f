#pragma once
// The objects through which the storefront library reports to the plug-in. The library calls them
// through their operation table and keeps the two base fields itself, so the order of the virtual
// operations and of the base fields is fixed; there is deliberately no virtual destructor.
#include <cstdint>

#include "address_width_layout.h"
#include "storefront_api.h"

class CCallbackBase {
 public:
  CCallbackBase() = default;
  CCallbackBase(const CCallbackBase&) = delete;
  CCallbackBase& operator=(const CCallbackBase&) = delete;

  // Overloads are declared in their slot order: a completion of an API call first, then a notice.
  virtual void Run(void* param, bool ioFailure, SteamAPICall_t call) = 0;
  virtual void Run(void* param) = 0;
  virtual int GetCallbackSizeBytes() = 0;

 protected:
  ~CCallbackBase() = default;

  std::uint8_t m_nCallbackFlags = 0;  // the library's after registration; never touched here again
  int m_iCallback = 0;                // notice id
};
static_assert(sizeof(CCallbackBase) == kelvo::layout::kThisBuild.callbackBaseSize,
              "operation table pointer, flags, notice id");

// Stays registered for notice `TParam::k_iCallback` from construction on and forwards every such
// notice to `handler` on `owner`. The notice id field stays 0 here: the library records the id.
template <class TOwner, class TParam, int kVariant>
class CCallback : public CCallbackBase {
 public:
  using Handler = void (TOwner::*)(TParam*);

  CCallback(TOwner* owner, Handler handler) : m_pObj(owner), m_Func(handler) {
    if (owner != nullptr && handler != nullptr) SteamAPI_RegisterCallback(this, TParam::k_iCallback);
  }

  void Run(void* param, bool, SteamAPICall_t) override { Run(param); }
  void Run(void* param) override { (m_pObj->*m_Func)(static_cast<TParam*>(param)); }
  int GetCallbackSizeBytes() override { return sizeof(TParam); }

 private:
  static_assert(kVariant == 0, "only the game client's notices are used");
  TOwner* m_pObj;
  Handler m_Func;
};

// Waits for the completion of one API call at a time and forwards it to `handler` on `owner`.
// A matching completion disarms the object before the handler runs, so the handler may arm it again.
template <class TOwner, class TParam>
class CCallResult : public CCallbackBase {
 public:
  using Handler = void (TOwner::*)(TParam*, bool);

  CCallResult() { m_iCallback = TParam::k_iCallback; }

  // Drops the pending call, if any (its completion never reaches the handler), and waits for `call`.
  void Set(SteamAPICall_t call, TOwner* owner, Handler handler) {
    if (m_hAPICall != 0) SteamAPI_UnregisterCallResult(this, m_hAPICall);
    m_hAPICall = call;
    m_pObj = owner;
    m_Func = handler;
    if (call != 0) SteamAPI_RegisterCallResult(this, call);
  }

  // Completions of any other call, including one that already completed, are ignored.
  void Run(void* param, bool ioFailure, SteamAPICall_t call) override {
    if (call != m_hAPICall) return;
    m_hAPICall = 0;
    Dispatch(param, ioFailure);
  }

  void Run(void* param) override {
    m_hAPICall = 0;
    Dispatch(param, false);
  }

  int GetCallbackSizeBytes() override { return sizeof(TParam); }

 private:
  // An object that was never given a handler (one that is never armed) has nobody to tell.
  void Dispatch(void* param, bool ioFailure) {
    if (m_pObj != nullptr && m_Func != nullptr) (m_pObj->*m_Func)(static_cast<TParam*>(param), ioFailure);
  }

  alignas(8) SteamAPICall_t m_hAPICall = 0;
  TOwner* m_pObj = nullptr;
  Handler m_Func = nullptr;
};
