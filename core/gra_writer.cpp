#include "core/gra_writer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "core/merge_script_writer.h"
#include "core/messages.h"

namespace rastrel {
namespace {

// A worst-case picture turns every pixel into a colour line and a rectangle
// line, some 50 bytes, so the writer's speed is the speed of putting small
// decimal numbers into a buffer. Everything that repeats is formatted once:
// the column edges of the drawing, each row's two edges, and the 256 values
// of a colour component. A line is then a handful of fixed-size copies from
// those tables, each followed by a move past the text actually copied.

// A formatted piece of a line: up to 15 characters, its length in the last
// byte. It is always copied whole, since a fixed-size copy is one move.
struct Piece {
  std::array<char, 16> bytes{};
  std::size_t size() const { return static_cast<unsigned char>(bytes[15]); }
};

Piece MakePiece(std::int32_t value, std::string_view suffix) {
  Piece piece;
  char* end = std::to_chars(piece.bytes.data(), piece.bytes.data() + 11, value).ptr;
  end = std::copy(suffix.begin(), suffix.end(), end);
  piece.bytes[15] = static_cast<char>(end - piece.bytes.data());
  return piece;
}

// "r," "g," and "b\r\n" of a colour line, for every component value.
struct ComponentTables {
  std::array<Piece, 256> leading;
  std::array<Piece, 256> last;
  ComponentTables() {
    for (int v = 0; v < 256; ++v) {
      leading[v] = MakePiece(v, ",");
      last[v] = MakePiece(v, "\r\n");
    }
  }
};
const ComponentTables& Components() {
  static const ComponentTables tables;
  return tables;
}

// Room that one pixel's lines can take, with the over-copy of the last piece.
constexpr std::size_t kLineRoom = 256;
// Writes of this size keep the text in the cache between being formatted and
// being copied by the kernel; larger ones also make the kernel allocate
// larger page-cache folios, which measured slower here.
constexpr std::size_t kBufferSize = std::size_t{256} << 10;

// The output buffer. A failed write is remembered, and nothing after it
// reaches the sink: the caller attempts the end line on its own.
class LineBuffer {
 public:
  explicit LineBuffer(ByteSink& sink)
      : sink_(sink),
        storage_(std::make_unique_for_overwrite<char[]>(kBufferSize)),
        cursor_(storage_.get()),
        limit_(storage_.get() + kBufferSize - kLineRoom) {}

  // Where the next text goes, with kLineRoom bytes free.
  char* Room() {
    if (cursor_ >= limit_) Flush();
    return cursor_;
  }
  void Advance(char* to) { cursor_ = to; }
  void Flush() {
    if (!failed_ && !sink_.Write(storage_.get(), cursor_ - storage_.get())) failed_ = true;
    cursor_ = storage_.get();
  }
  bool failed() const { return failed_; }

 private:
  ByteSink& sink_;
  std::unique_ptr<char[]> storage_;
  char* cursor_;
  char* limit_;
  bool failed_ = false;
};

char* Put(char* out, const Piece& piece) {
  std::memcpy(out, piece.bytes.data(), sizeof piece.bytes);
  return out + piece.size();
}

char* Put(char* out, std::string_view text) { return std::copy(text.begin(), text.end(), out); }

char* PutNumber(char* out, std::int32_t value) { return std::to_chars(out, out + 11, value).ptr; }

// Column edges are tabulated up to here: the table stays small however wide
// a picture is (a picture within the size limit can be 2^28 pixels wide).
constexpr std::int32_t kTabulatedColumns = 1 << 16;

// The current colour is the last colour line written to the file; a value
// outside the 32-bit range stands for "none yet".
constexpr std::uint64_t kNoColor = std::uint64_t{1} << 32;

class GraEncoder {
 public:
  GraEncoder(LineBuffer& out, const Bitmap& picture, const GraFormat& format)
      : out_(out),
        format_(format),
        width_(picture.Width()),
        // A picture without columns or rows has nothing to divide among.
        cell_width_(width_ > 0 ? format.width / width_ : 0),
        cell_height_(picture.Height() > 0 ? format.height / picture.Height() : 0),
        skip_key_(format.color_mode != ColorMode::DrawAll) {
    const std::int32_t tabulated = std::min(width_, kTabulatedColumns);
    column_edges_.reserve(static_cast<std::size_t>(tabulated) + 1);
    for (std::int32_t x = 0; x <= tabulated; ++x) column_edges_.push_back(ColumnEdge(x));
  }

  void Header() {
    char* p = out_.Room();
    p = Put(p, "%Ngraph GRAF\r\n%Creator: Quillmarker\r\nI,5,0,0,");
    p = PutSize(p, ",10000\r\nV,5,0,0,");
    p = PutSize(p, ",1\r\nA,5,0,40,0,0,1000\r\n");
    out_.Advance(p);
  }

  void Background() {
    char* p = ColorLine(out_.Room(), format_.key_color);
    p = PutSize(Put(p, "B,5,0,0,"), ",1\r\n");
    out_.Advance(p);
  }

  // Puts out the runs of row y; false when a write has failed.
  bool Row(const ColorRef* pixels, std::int32_t y) {
    const std::int32_t top = y * cell_height_;
    row_top_ = MakePiece(top, ",");
    row_bottom_ = MakePiece(top + cell_height_, ",1\r\n");
    if (width_ == 0) return !out_.failed();
    std::int32_t start = 0;
    ColorRef color = pixels[0];
    for (std::int32_t x = 1; x < width_; ++x) {
      if (pixels[x] != color) {
        if (!Run(start, x, color)) return false;
        start = x;
        color = pixels[x];
      }
    }
    return Run(start, width_, color);
  }

 private:
  bool Run(std::int32_t start, std::int32_t end, ColorRef color) {
    if (skip_key_ && color == format_.key_color) return true;
    char* p = out_.Room();
    if (color != current_color_) {
      p = ColorLine(p, color);
      current_color_ = color;
    }
    p = Put(p, "B,5,");
    p = Put(p, Edge(start));
    p = Put(p, row_top_);
    p = Put(p, Edge(end));
    p = Put(p, row_bottom_);
    out_.Advance(p);
    return !out_.failed();
  }

  // "x," for the left edge of column x; |x * cell_width_| <= |format.width|
  // for x <= width_, so there is no overflow.
  Piece ColumnEdge(std::int32_t x) const { return MakePiece(x * cell_width_, ","); }
  // The piece is copied out before the next call, so one scratch piece serves.
  const Piece& Edge(std::int32_t x) {
    if (static_cast<std::size_t>(x) < column_edges_.size()) return column_edges_[x];
    wide_edge_ = ColumnEdge(x);
    return wide_edge_;
  }

  // "width,height" of the drawing, then `tail`.
  char* PutSize(char* p, std::string_view tail) const {
    p = PutNumber(p, format_.width);
    *p++ = ',';
    return Put(PutNumber(p, format_.height), tail);
  }

  static char* ColorLine(char* p, ColorRef color) {
    const ComponentTables& c = Components();
    p = Put(p, "G,3,");
    p = Put(p, c.leading[RedOf(color)]);
    p = Put(p, c.leading[GreenOf(color)]);
    return Put(p, c.last[BlueOf(color)]);
  }

  LineBuffer& out_;
  const GraFormat& format_;
  const std::int32_t width_;
  const std::int32_t cell_width_;
  const std::int32_t cell_height_;
  const bool skip_key_;
  std::vector<Piece> column_edges_;  // the first ColumnEdge(x)
  Piece wide_edge_;
  Piece row_top_;
  Piece row_bottom_;
  std::uint64_t current_color_ = kNoColor;
};

constexpr std::string_view kEndLine = "E,0\r\n";

}  // namespace

bool WriteGraStream(ByteSink& out, const Bitmap& picture, const GraFormat& format,
                    ProgressIndicator& progress, MessageHook& messages, const std::string& path) {
  LineBuffer buffer(out);
  GraEncoder encoder(buffer, picture, format);
  encoder.Header();
  if (format.color_mode == ColorMode::Background) encoder.Background();
  for (std::int32_t y = 0; y < picture.Height(); ++y) {
    const bool written = encoder.Row(picture.Row(y), y);
    progress.Step();
    if (!written) break;
  }

  bool ok;
  if (buffer.failed()) {
    messages.ShowMessage(messages::kWriteError, path);
    out.Write(kEndLine.data(), kEndLine.size());  // attempted all the same
    out.Close();
    ok = false;
  } else {
    buffer.Advance(Put(buffer.Room(), kEndLine));
    buffer.Flush();
    const bool closed = out.Close();
    ok = !buffer.failed() && closed;
    if (!ok) messages.ShowMessage(messages::kWriteError, path);
  }
  progress.SetPosition(0);
  return ok;
}

void WriteGraFile(const std::string& path, ProgressIndicator& progress, MessageHook& messages,
                  const SinkOpener& open) {
  const Settings& s = ConversionSettings;
  static const Bitmap kNoPicture;
  const Bitmap& picture = s.SourceBitmap ? *s.SourceBitmap : kNoPicture;

  progress.SetStep(1);
  progress.SetMax(picture.Height());
  std::unique_ptr<ByteSink> file = open ? open(path) : OpenFileSink(path);
  if (!file) {
    messages.ShowMessage(messages::kCantOpenGraFile, path);
    return;
  }
  WriteGraStream(*file, picture,
                 GraFormat{.width = s.GraWidth,
                           .height = s.GraHeight,
                           .key_color = s.KeyColor,
                           .color_mode = s.ColorMode},
                 progress, messages, path);
  if (s.LaunchedWithRect) WriteMergeScript(path, messages, open);
}

}  // namespace rastrel
