// The questions and refusals that every stage of the grid calculation
// shares, and the reading of numbers from the form's texts.
#pragma once
#include <string>
#include <string_view>

#include "gridform/fieldrules.h"
#include "gridform/gridrun.h"

namespace dorv::grid {

inline constexpr int kPlacedLeft = 6000;  // twips from the screen's left
inline constexpr int kPlacedTop = 3000;
inline const std::wstring kQuote = L"\"";
inline const std::wstring kWarningTitle = L"Предупреждение";
inline const std::wstring kFieldInputTitle = L"Ввод исх. данных";
inline const std::wstring kAbsent = L" нет";
// A valve that the valve file does not hold with its sizes.
inline const std::wstring kValveMissingMessage = L"Данные клапана, указанного в окне " + kQuote + L"Клапан" +
                                                 kQuote + L", отсутствуют в базе данных программы!";

// The number a text begins with (blanks before it skipped); 0 when none.
double num(std::wstring_view text);
// An input box at the place where the calculation's questions stand.
std::wstring placed_input(const std::wstring& prompt, const std::wstring& title);
// "Отказ от пуска?": true when the user gives the run up.
bool gives_up_start();
// A refusal: the text in a box with OK and the stop icon, titled
// "Предупреждение". The caller then ends the run.
void refuse(const std::wstring& text);
// A value read as an infinity (a number longer than any double holds) is no
// value to compute with: refused as too large, with the field named. True
// when it was refused.
bool refuses_too_large(double value, const std::wstring& field);

}  // namespace dorv::grid
