#pragma once

/// The strings that stand for the titrator's keypad keys. Numbers go out as their decimal text.
namespace keypad {

inline constexpr char Reset[] = "L";
inline constexpr char Status[] = "?";
/// Also confirms every entered value.
inline constexpr char Run[] = "O";
inline constexpr char Mode[] = "H";
inline constexpr char PhCalibration[] = "N";
inline constexpr char Buret[] = "M";
/// CONST and CONST REAG are two keys each: the first string, then ConstEnd as a string of its own.
inline constexpr char Const[] = "I";
inline constexpr char ConstReagent[] = "F";
inline constexpr char ConstEnd[] = "Z";
inline constexpr char EnableKeyboard[] = "Y";
inline constexpr char Save[] = "P";
/// METHOD is one key sent as two characters.
inline constexpr char Method[] = "QZ";
inline constexpr char Enter[] = "\r";

} // namespace keypad
