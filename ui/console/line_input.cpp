#include "ui/console/line_input.h"

#include <cctype>

#include "ui/printable_text.h"

bool ReadAnswerLine(std::FILE* input, std::FILE* output, bool echo, std::string* line) {
  std::fflush(output);
  line->clear();
  bool got = false;
  int c = 0;
  while ((c = std::fgetc(input)) != EOF) {
    got = true;
    if (c == '\n') break;
    line->push_back(static_cast<char>(c));
  }
  if (!got) return false;
  while (!line->empty() && std::isspace(static_cast<unsigned char>(line->back()))) line->pop_back();
  std::size_t start = 0;
  while (start < line->size() && std::isspace(static_cast<unsigned char>((*line)[start]))) ++start;
  line->erase(0, start);
  if (echo) std::fprintf(output, "%s\n", PrintableText(line->c_str()).c_str());
  return true;
}

std::string Lowered(const std::string& line) {
  std::string lowered = line;
  for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lowered;
}
