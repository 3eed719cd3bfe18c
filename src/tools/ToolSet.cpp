#include "tools/ToolSet.h"

#include "editor/frmCapture.h"

namespace tools {

ToolSet::ToolSet(frmCapture& form) : form_(form) {}

ToolSet::~ToolSet() = default;

void ToolSet::Picture2_MouseDown(int, int, float, float) {}

void ToolSet::Picture2_MouseMove(int, int, float, float) {}

void ToolSet::Picture2_MouseUp(int, int, float, float) {}

void ToolSet::HidePopups() {}

std::unique_ptr<ToolSet> CreateToolSet(frmCapture& form) {
    return std::make_unique<ToolSet>(form);
}

}  // namespace tools
