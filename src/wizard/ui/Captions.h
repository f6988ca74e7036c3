#pragma once

#include <QString>
#include <string>

class QLabel;

namespace vexo {

// A caption with its access key ('&' before a letter) shown underlined, as rich text; "&&" is
// one '&' and a line break (carriage return or newline) starts a new line.
QString withAccessKey(const std::string& caption);

// A caption as it reads, without its access-key marks: what it is called for assistive tools.
QString spokenCaption(const std::string& caption);

// Shows a caption in a label: as it stands unless it holds an access key, which is then
// rendered instead of its ampersand.
void showCaption(QLabel* label, const std::string& caption);

} // namespace vexo
