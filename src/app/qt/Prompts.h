#pragma once

#include <functional>
#include <string>

class QWidget;

namespace quillory {

// The GUI's message boxes. Plain boxes come through the foundation hook, which InstallQtMessageBox
// points at QMessageBox; the yes/no question has its own hook so tests can answer it.
namespace Prompts {

using QuestionHook = std::function<bool(const std::string& text)>;

void InstallQtMessageBox();
// Question box with Yes and No, caption "Quillory"; true for Yes.
bool AskYesNo(const std::string& text);
// The program is ending (a signal): open boxes close, later ones only go to standard error and a
// question is answered No, so that no box keeps the program alive.
void EndBoxes();
// Installs a hook (an empty one restores the real box); returns the previous one.
QuestionHook SetQuestionHook(QuestionHook hook);

} // namespace Prompts

} // namespace quillory
