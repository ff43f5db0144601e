#include "journal/ImportCommand.h"

#include <ostream>

#include "journal/FiguresFile.h"
#include "journal/Journal.h"
#include "text/Quote.h"

namespace stringart {

int ImportFiguresCommand(const std::string& file, const std::string& journalPath, std::ostream& out,
                         std::ostream& err) {
  std::string error;
  const auto figures = ReadFiguresFile(file, error);
  if (!figures) {
    err << "stringart: cannot import " << Quoted(file) << ": " << error << "; nothing was added.\n";
    return 2;
  }
  ImportResult result;
  {
    Journal journal(journalPath, [&err](const JournalNews& news) {
      err << "stringart: " << EscapeText(news.Text(), 400) << "\n";
    });
    result = journal.Import(*figures);
  }
  if (!result.ok) {
    err << "stringart: cannot import " << Quoted(file) << ": " << EscapeText(result.error)
        << "; nothing was added.\n";
    return 1;
  }
  out << "Added " << result.added << (result.added == 1 ? " figure" : " figures") << " from "
      << Quoted(file) << " to the journal";
  if (result.known > 0) {
    out << "; " << result.known << (result.known == 1 ? " was" : " were") << " kept already";
  }
  out << ".\n";
  return 0;
}

}  // namespace stringart
