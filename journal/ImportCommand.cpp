#include "journal/ImportCommand.h"

#include <ostream>

#include "journal/FiguresFile.h"
#include "journal/Journal.h"
#include "text/Quote.h"
#include "text/Reasons.h"

namespace stringart {

int ImportFiguresCommand(const std::string& file, const std::string& journalPath, std::ostream& out,
                         std::ostream& err, const Translate& translate) {
  const auto say = [&translate](const std::string& line) { return InLanguage(line, translate); };
  std::string error;
  const auto figures = ReadFiguresFile(file, error);
  if (!figures) {
    err << "stringart: "
        << say("cannot import " + Quoted(file) + ": " + error + "; nothing was added.") << "\n";
    return 2;
  }
  ImportResult result;
  {
    Journal journal(journalPath, [&err, &say](const JournalNews& news) {
      err << "stringart: " << EscapeText(say(news.Text()), 400) << "\n";
    });
    result = journal.Import(*figures);
  }
  if (!result.ok) {
    err << "stringart: "
        << say("cannot import " + Quoted(file) + ": " + EscapeText(result.error) +
               "; nothing was added.")
        << "\n";
    return 1;
  }
  std::string added = "Added " + std::to_string(result.added) +
                      (result.added == 1 ? " figure" : " figures") + " from " + Quoted(file) +
                      " to the journal";
  if (result.known > 0) {
    added += "; " + std::to_string(result.known) + (result.known == 1 ? " was" : " were") +
             " kept already";
  }
  out << say(added + ".") << "\n";
  return 0;
}

}  // namespace stringart
