#pragma once

#include <string>
#include <string_view>

#include "core/Failure.h"

// Jet's and DAO's failures as the stand-in raises them: the number and Jet's own description,
// its placeholder '|' filled with `item` (a file, a field, a function).
namespace zorvik::dao_standin {

// The numbers the stand-in raises beside those of core/Failure.h.
namespace jet {
inline constexpr int kInvalidArgument = 3001;
inline constexpr int kTooManyTransactions = 3003;
inline constexpr int kUpdateWithoutEdit = 3020;
inline constexpr int kTooFewParameters = 3061;
inline constexpr int kCannotExecuteSelect = 3065;
inline constexpr int kUndefinedFunction = 3085;
inline constexpr int kInvalidStatement = 3129;
inline constexpr int kFromSyntax = 3131;
inline constexpr int kOrderBySyntax = 3138;
inline constexpr int kAfterEndOfStatement = 3142;
inline constexpr int kFieldTooSmall = 3163;
inline constexpr int kRecordDeleted = 3167;
inline constexpr int kInvalidOperation = 3219;
inline constexpr int kNotSupportedForType = 3251;
inline constexpr int kRequired = 3314;
inline constexpr int kZeroLength = 3315;
inline constexpr int kNumericOverflow = 3349;
inline constexpr int kConversionError = 3421;
inline constexpr int kCriteriaTypeMismatch = 3464;
}  // namespace jet

// Jet's description of `number` with `item` in its place; for a number the stand-in does not
// know, `item` itself.
std::string JetDescription(int number, std::string_view item = {});

// Throws Failure(number, JetDescription(number, item)).
[[noreturn]] void RaiseJet(int number, std::string_view item = {});

// A failure that is the stand-in's, not Jet's: something Jet does that it does not play.
[[noreturn]] void NotPlayed(std::string_view what);

}  // namespace zorvik::dao_standin
