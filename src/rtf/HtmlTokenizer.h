#pragma once
// A forgiving HTML tokenizer for mail bodies: text, start and end tags with their attributes,
// comments, and the raw content of <style>, <script>, <title>, <textarea> and <xmp>. It never
// fails; malformed markup comes out as text or is skipped, and it always advances.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

enum class THtmlTokenKind { Text, StartTag, EndTag, Comment, RawText };

struct THtmlToken {
  THtmlTokenKind Kind = THtmlTokenKind::Text;
  std::string Name;       // tags and raw text: the element name in lower case
  std::string_view Text;  // Text: source text (no '<' in it); RawText: the element's content
  std::vector<std::pair<std::string, std::string>> Attributes;  // names in lower case, values decoded
  bool SelfClosing = false;
};

class THtmlTokenizer {
public:
  explicit THtmlTokenizer(std::string_view html) : FHtml(html) {}
  bool Next(THtmlToken& token);

private:
  bool ReadTag(THtmlToken& token);

  std::string_view FHtml;
  std::size_t FPos = 0;
  std::string FRawElement;  // after a raw-text start tag: its content comes next
  bool FRawEndPending = false;
};

// Replaces character references (&amp;, &#233;, &#x2014;, &eacute; ...) by UTF-8.
std::string DecodeEntities(std::string_view text);
