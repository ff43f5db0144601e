#include "formats/Svg.h"

#include <cstdint>
#include <cstring>

#include "runtime/FloatText.h"

namespace stringart {
namespace {

// The texts of the last few coordinates written: a figure's strokes of one step start where
// others end, so most coordinates come again soon after. Where the float text is this program's
// own stand-in (the page's WebAssembly), writing one anew costs far more than a look here.
class RecentTexts {
 public:
  void Append(std::string& out, float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (const Entry& entry : entries_) {
      if (entry.bits == bits && !entry.text.empty()) {
        out += entry.text;
        return;
      }
    }
    Entry& entry = entries_[next_++ % kCount];
    entry.bits = bits;
    entry.text = FloatToText(v);
    out += entry.text;
  }

 private:
  static constexpr std::size_t kCount = 8;
  struct Entry {
    std::uint32_t bits = 0;
    std::string text;
  };
  Entry entries_[kCount];
  std::size_t next_ = 0;
};

void AppendColour(std::string& out, Colour c) {
  // By hand rather than with snprintf, which would bring the C library's printf into the page.
  constexpr char kHex[] = "0123456789abcdef";
  out += '#';
  for (const int part : {c.red(), c.green(), c.blue()}) {
    out += kHex[part >> 4 & 0xF];
    out += kHex[part & 0xF];
  }
}

}  // namespace

void AppendXmlEscaped(std::string& out, std::string_view text) {
  for (char ch : text) {
    switch (ch) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += ch;
    }
  }
}

void AppendSvgStart(std::string& out, std::string_view namespaces, std::string_view width,
                    std::string_view height, std::string_view viewWidth,
                    std::string_view viewHeight, std::string_view note) {
  out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\"";
  out += namespaces;
  out += " width=\"";
  out += width;
  out += "\" height=\"";
  out += height;
  out += "\" viewBox=\"0 0 ";
  out += viewWidth;
  out += ' ';
  out += viewHeight;
  out += "\">\n<metadata>";
  AppendXmlEscaped(out, note);
  out += "</metadata>\n";
}

std::string SvgDocument(const SegmentRecorder& drawing, int width, int height,
                        std::string_view note) {
  return SvgDocument(drawing, width, height, note, width, height);
}

std::string SvgDocument(const SegmentRecorder& drawing, int width, int height,
                        std::string_view note, int shownWidth, int shownHeight) {
  const auto& segments = drawing.segments();
  std::string out;
  out.reserve(64 * 1024 + segments.size() * 36);
  const std::string w = std::to_string(width), h = std::to_string(height);
  AppendSvgStart(out, "", std::to_string(shownWidth), std::to_string(shownHeight), w, h, note);
  out += "<rect width=\"" + w + "\" height=\"" + h + "\" fill=\"";
  AppendColour(out, drawing.background());
  // Square caps paint both end pixels, as the raster does.
  out +=
      "\"/>\n<g transform=\"translate(0.5 0.5)\" fill=\"none\" stroke-width=\"1\" "
      "stroke-linecap=\"square\">\n";
  RecentTexts texts;
  for (std::size_t i = 0; i < segments.size();) {
    const Colour colour = segments[i].colour;
    out += "<path stroke=\"";
    AppendColour(out, colour);
    out += "\" d=\"";
    for (; i < segments.size() && segments[i].colour == colour; ++i) {
      const Segment& s = segments[i];
      out += 'M';
      texts.Append(out, s.fromX);
      out += ' ';
      texts.Append(out, s.fromY);
      out += 'L';
      texts.Append(out, s.toX);
      out += ' ';
      texts.Append(out, s.toY);
    }
    out += "\"/>\n";
  }
  out += "</g>\n</svg>\n";
  return out;
}

}  // namespace stringart
