#include "ui/console/line_input.h"

#include <cctype>

#include "platform/user_interface.h"
#include "ui/printable_text.h"

namespace ui {

namespace {

std::string Trimmed(const std::string& line) {
  std::size_t end = line.size();
  while (end > 0 && std::isspace(static_cast<unsigned char>(line[end - 1]))) --end;
  std::size_t start = 0;
  while (start < end && std::isspace(static_cast<unsigned char>(line[start]))) ++start;
  return line.substr(start, end - start);
}

}  // namespace

bool ReadLine(std::FILE* input, std::string* line) {
  line->clear();
  int c = 0;
  while ((c = std::fgetc(input)) != EOF) {
    line->push_back(static_cast<char>(c));
    if (c == '\n') break;
  }
  return !line->empty();
}

bool ReadAnswerLine(std::FILE* input, std::FILE* output, bool echo, std::string* line) {
  std::fflush(output);
  if (!ReadLine(input, line)) return false;
  *line = Trimmed(*line);
  if (echo) std::fprintf(output, "%s\n", PrintableText(line->c_str()).c_str());
  return true;
}

std::string Lowered(const std::string& line) {
  std::string lowered = line;
  for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lowered;
}

int YesNoAnswer(const char* line) {
  const std::string answer = Lowered(Trimmed(line));
  if (answer == "y" || answer == "yes") return platform::kIdYes;
  if (answer == "n" || answer == "no") return platform::kIdNo;
  return 0;
}

}  // namespace ui
