// Turns translations/stringart_<language>.ts into a C++ table of the finished translations of the
// named contexts, for the programs without Qt, which have no QTranslator to read a .qm with.
//   stringart_text_table OUT.cpp CONTEXTS LANGUAGE=FILE.ts...
// CONTEXTS is a comma-separated list. The .ts files lupdate writes put each element on a line of
// its own; a text may run over several lines.
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Unescaped(std::string text) {
  static const std::pair<const char*, const char*> kEntities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    bool replaced = false;
    for (const auto& [entity, character] : kEntities) {
      if (text.compare(i, std::char_traits<char>::length(entity), entity) == 0) {
        out += character;
        i += std::char_traits<char>::length(entity);
        replaced = true;
        break;
      }
    }
    if (!replaced) out += text[i++];
  }
  return out;
}

std::string Literal(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') {
      (out += '\\') += c;
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out + '"';
}

// The text of the element `tag` that starts at `at` in `ts`, or nothing when another is there.
bool Element(const std::string& ts, std::size_t& at, const std::string& tag, std::string& text,
             std::string& attributes) {
  const std::size_t open = ts.find('<', at);
  if (open == std::string::npos || ts.compare(open + 1, tag.size(), tag) != 0) return false;
  const std::size_t openEnd = ts.find('>', open);
  attributes = ts.substr(open + 1 + tag.size(), openEnd - open - 1 - tag.size());
  if (attributes.ends_with('/')) {  // <translation type="unfinished"/>
    text.clear();
    at = openEnd + 1;
    return true;
  }
  const std::string close = "</" + tag + ">";
  const std::size_t end = ts.find(close, openEnd);
  text = Unescaped(ts.substr(openEnd + 1, end - openEnd - 1));
  at = end + close.size();
  return true;
}

// The finished translations of `contexts` in one language's .ts file, as a table's rows.
void WriteLanguage(std::ostream& out, const std::string& language, const std::string& ts,
                   const std::set<std::string>& contexts) {
  out << "constexpr TranslatedText k_" << language << "[] = {\n";
  std::string context, text, attributes;
  for (std::size_t at = 0; at < ts.size();) {
    const std::size_t next = ts.find('<', at);
    if (next == std::string::npos) break;
    at = next;
    if (Element(ts, at, "name", text, attributes)) {
      context = text;
    } else if (ts.compare(at, 9, "<message>") == 0) {
      at += 9;
      std::string source, translation;
      at = ts.find('<', at);
      if (!Element(ts, at, "source", source, attributes)) continue;
      at = ts.find('<', at);
      // Plurals (numerus="yes") are the window's alone; unfinished texts stay in English.
      if (!Element(ts, at, "translation", translation, attributes) ||
          attributes.find("type=") != std::string::npos || translation.empty() ||
          translation.find("<numerusform>") != std::string::npos || !contexts.contains(context)) {
        continue;
      }
      out << "    {" << Literal(context) << ", " << Literal(source) << ",\n     "
          << Literal(translation) << "},\n";
    } else {
      ++at;
    }
  }
  out << "};\n\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::cerr << "usage: stringart_text_table OUT.cpp CONTEXTS LANGUAGE=FILE.ts...\n";
    return 2;
  }
  std::set<std::string> contexts;
  std::istringstream names(argv[2]);
  for (std::string name; std::getline(names, name, ',');) contexts.insert(name);
  std::ostringstream out;
  out << "// Made from the translations by stringart_text_table; do not edit.\n"
         "#include \"text/Language.h\"\n\nnamespace stringart {\nnamespace {\n\n";
  std::vector<std::string> languages;
  for (int i = 3; i < argc; ++i) {
    const std::string argument = argv[i];
    const std::size_t equals = argument.find('=');
    const std::string language = argument.substr(0, equals);
    std::ifstream file(argument.substr(equals + 1), std::ios::binary);
    if (equals == std::string::npos || !file) {
      std::cerr << "stringart_text_table: cannot read " << argument << "\n";
      return 1;
    }
    const std::string ts{std::istreambuf_iterator<char>(file), {}};
    languages.push_back(language);
    WriteLanguage(out, language, ts, contexts);
  }
  out << "constexpr LanguageTable kTables[] = {\n";
  for (const std::string& language : languages) {
    out << "    {" << Literal(language) << ", k_" << language << "},\n";
  }
  out << "};\n\n}  // namespace\n\nstd::span<const LanguageTable> LanguageTables() {\n"
         "  return kTables;\n}\n\n}  // namespace stringart\n";
  std::ofstream table(argv[1], std::ios::binary);
  table << out.str();
  return table.flush() ? 0 : 1;
}
