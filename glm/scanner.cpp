// What every scanner shares: the words of a rest-of-line text and the first-corner parse.
#include "glm/scanner.h"

namespace {

// isspace in the "C" locale, the one the program runs in.
bool isBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The next word at or after `text`, or null; *length is its length.
const char* nextWord(const char* text, size_t* length) {
  while (isBlank(*text)) ++text;
  if (*text == '\0') return nullptr;
  size_t n = 0;
  while (n < GLM_TOKEN_SIZE - 1 && text[n] != '\0' && !isBlank(text[n])) ++n;
  *length = n;
  return text;
}

}  // namespace

std::vector<std::string> glmWordsOf(const char* text) {
  std::vector<std::string> words;
  size_t length = 0;
  for (const char* word = nextWord(text, &length); word != nullptr; word = nextWord(word + length, &length)) {
    words.emplace_back(word, length);
  }
  return words;
}

std::string glmFirstWord(const char* text) {
  size_t length = 0;
  const char* word = nextWord(text, &length);
  return word != nullptr ? std::string(word, length) : std::string();
}

FaceForm ObjScanner::parseFirstCorner(const char* token, long* vertex, long* texture, long* normal) {
  FaceForm form = faceFormOf(token);
  parseCorner(token, form, vertex, texture, normal);
  return form;
}

