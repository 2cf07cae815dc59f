// What the fault injector and the library it injects agree on: the plan handed to the library in
// an environment variable, the shared block through which a driver names the scenario's current
// step, and the lines the library writes.
//
// The plan is one line of "key=value" fields separated by '|':
//   module=NAME       the module whose calls are watched (for example Starter.exe or kelvo.dll);
//                     one that is not loaded yet is watched from the moment the program loads it
//   record=PATH       at exit, write every call the module made, by import, call site and step
//   log=PATH          append a line for each failure injected and each misuse seen, as it happens
//   fail=IMPORT       the import to fail, "DLL!function" (for example KERNEL32.dll!CreateFileA)
//   at=N              ... at its Nth call: counted over the whole run, or, with site=, among the
//                     calls from that site during step step= (default 0)
//   site=RVA          call site (return address less the module's base, in hexadecimal)
//   step=N            scenario step of that site's calls
//   persistent=1      that call and every later call of the import fail, wherever they come from
#pragma once

#include <cstdint>

namespace fault_injection {

// The environment variable that carries the plan into the started program.
constexpr const char kPlanVariable[] = "FAULT_INJECTION_PLAN";

// The shared block "Local\fault-injection-<process id>", made by the injector before the library
// is loaded: the library marks it when it has read its plan, and a driver writes in it the step its
// scenario is in. Without a driver every call is step 0.
constexpr const char kStepBlockPrefix[] = "Local\\fault-injection-";
struct StepBlock {
  volatile std::int32_t step;
  volatile std::int32_t ready;  // 1 once the library watches the program
};

// A call site outside the watched module: a call the module made as its last act (a tail call),
// or one made on its behalf through an interface it was handed.
constexpr std::uint32_t kOutsideSite = 0xFFFFFFFFu;

// Record lines, one per import, call site and step (tab-separated):
//   call IMPORT SITE STEP COUNT INJECTABLE-1 INJECTABLE-2 SEQUENCE-1 SEQUENCE-2 SEQUENCE-LAST DETAIL
// SITE in hexadecimal; COUNT the calls from that site during that step; INJECTABLE-k whether the
// k-th of them has a documented failure (1) or not (0, or - when there was no such call);
// SEQUENCE-k its place among all the module's calls of the run (0 when there was none), and
// SEQUENCE-LAST that of the last one; DETAIL what the first call named, for the calls that load a
// library or look up a function, else -.
//
// Log lines (tab-separated), written as they happen:
//   injected IMPORT SITE STEP ANSWER   a call made to fail, answering what the table documents
//   misuse IMPORT SITE STEP WHAT       a call given a null where the platform needs a real one
//                                      (a failed result used as if it had succeeded)
constexpr const char kRecordCall[] = "call";
constexpr const char kLogInjected[] = "injected";
constexpr const char kLogMisuse[] = "misuse";

}  // namespace fault_injection
