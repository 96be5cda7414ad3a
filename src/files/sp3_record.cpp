#include "files/sp3_record.h"

#include <bit>
#include <cmath>
#include <cstring>

#include "util/datetime.h"
#include "util/numbers.h"

namespace vantrel {

namespace {

class Writer {
 public:
  void U16(std::uint16_t v) {
    bytes.push_back(static_cast<std::uint8_t>(v & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(v >> 8));
  }
  void I16(std::int16_t v) { U16(static_cast<std::uint16_t>(v)); }
  void U32(std::uint32_t v) {
    U16(static_cast<std::uint16_t>(v & 0xFFFF));
    U16(static_cast<std::uint16_t>(v >> 16));
  }
  void U64(std::uint64_t v) {
    U32(static_cast<std::uint32_t>(v & 0xFFFFFFFFu));
    U32(static_cast<std::uint32_t>(v >> 32));
  }
  void F32(float v) { U32(std::bit_cast<std::uint32_t>(v)); }
  void F64(double v) { U64(std::bit_cast<std::uint64_t>(v)); }
  void Text(const std::string& text) { bytes.insert(bytes.end(), text.begin(), text.end()); }
  std::vector<std::uint8_t> bytes;
};

class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> data) : data_(data) {}
  bool Has(std::size_t n) const { return at_ + n <= data_.size(); }
  std::uint16_t U16() {
    const std::uint16_t v = static_cast<std::uint16_t>(data_[at_] | (data_[at_ + 1] << 8));
    at_ += 2;
    return v;
  }
  std::int16_t I16() { return static_cast<std::int16_t>(U16()); }
  std::uint32_t U32() {
    const std::uint32_t low = U16();
    return low | (static_cast<std::uint32_t>(U16()) << 16);
  }
  std::uint64_t U64() {
    const std::uint64_t low = U32();
    return low | (static_cast<std::uint64_t>(U32()) << 32);
  }
  float F32() { return std::bit_cast<float>(U32()); }
  double F64() { return std::bit_cast<double>(U64()); }
  std::string Text(std::size_t n) {
    std::string s(reinterpret_cast<const char*>(data_.data() + at_), n);
    at_ += n;
    return s;
  }

 private:
  std::span<const std::uint8_t> data_;
  std::size_t at_ = 0;
};

// The first `width` bytes of the text, padded with spaces.
std::string Fixed(const std::string& text, std::size_t width) {
  std::string out = text.substr(0, width);
  out.resize(width, ' ');
  return out;
}

}  // namespace

Sp3Record MakeSp3Record(std::span<const RawTrace, 3> traces, const AnalyzerSettings& settings,
                        double oleDate) {
  Sp3Record r;
  for (std::size_t i = 0; i < 3; ++i) r.traces[i] = traces[i];
  r.refLevel = settings.RefLevel;
  r.refUnit = Fixed(settings.RefUnit, 5);
  r.scale = RoundToInt16(settings.Scale);
  r.freqStart = settings.FreqStart;
  r.freqCenter = settings.FreqCenter;
  r.freqStop = settings.FreqStop;
  r.span = Fixed(settings.Span, 15);
  r.rbw = Fixed(settings.RBW, 10);
  r.vbw = Fixed(settings.VBW, 10);
  // A longer sweep time would run into the next record's slot.
  r.sweepTime = settings.SweepTime.substr(0, kSp3MaxSweepTimeBytes);
  r.oleDate = oleDate;
  return r;
}

std::vector<std::uint8_t> EncodeSp3Record(const Sp3Record& r) {
  Writer w;
  w.bytes.reserve(kSp3FixedBytes + r.sweepTime.size());
  for (const RawTrace& t : r.traces) {
    for (std::int16_t p : t.Points()) w.I16(p);
    w.U32(t.Colour());
    w.I16(t.Mode());
    w.I16(t.words[RawTrace::kValidWord]);
  }
  w.F32(r.refLevel);
  w.Text(Fixed(r.refUnit, 5));
  w.I16(r.scale);
  w.F64(r.freqStart);
  w.F64(r.freqCenter);
  w.F64(r.freqStop);
  w.Text(Fixed(r.span, 15));
  w.Text(Fixed(r.rbw, 10));
  w.Text(Fixed(r.vbw, 10));
  const std::string sweep = r.sweepTime.substr(0, kSp3MaxSweepTimeBytes);
  w.U16(static_cast<std::uint16_t>(sweep.size()));
  w.Text(sweep);
  w.F64(r.oleDate);
  return w.bytes;
}

std::optional<Sp3Record> DecodeSp3Record(std::span<const std::uint8_t> bytes, std::string& error) {
  Reader in(bytes);
  if (!in.Has(kSp3FixedBytes - 8)) {
    error = "The record ends after " + std::to_string(bytes.size()) + " of its bytes.";
    return std::nullopt;
  }
  Sp3Record r;
  for (RawTrace& t : r.traces) {
    for (std::int16_t& p : t.Points()) p = in.I16();
    t.SetColour(in.U32());
    t.SetMode(in.I16());
    t.words[RawTrace::kValidWord] = in.I16();
  }
  r.refLevel = in.F32();
  r.refUnit = in.Text(5);
  r.scale = in.I16();
  r.freqStart = in.F64();
  r.freqCenter = in.F64();
  r.freqStop = in.F64();
  r.span = in.Text(15);
  r.rbw = in.Text(10);
  r.vbw = in.Text(10);
  const std::size_t n = in.U16();
  // A length beyond the slot cannot be: the record is damaged.
  if (n > kSp3MaxSweepTimeBytes) {
    error = "The record's sweep time claims " + std::to_string(n) + " bytes; at most " +
            std::to_string(kSp3MaxSweepTimeBytes) + " fit.";
    return std::nullopt;
  }
  if (!in.Has(n + 8)) {
    error = "The record ends after " + std::to_string(bytes.size()) + " of its " +
            std::to_string(kSp3FixedBytes + n) + " bytes.";
    return std::nullopt;
  }
  r.sweepTime = in.Text(n);
  r.oleDate = in.F64();
  return r;
}

std::uint64_t Sp3RecordCount(std::uint64_t fileLength) {
  const std::uint64_t whole = fileLength / kSp3SlotBytes;
  const std::uint64_t rest = fileLength % kSp3SlotBytes;
  const std::uint64_t half = kSp3SlotBytes / 2;
  if (rest > half || (rest == half && whole % 2 == 1)) return whole + 1;
  return whole;
}

void ApplySp3Record(const Sp3Record& r, std::array<RawTrace, 3>& traces,
                    AnalyzerSettings& settings) {
  traces = r.traces;
  settings.RefUnit = r.refUnit;
  settings.RefLevel = r.refLevel;
  settings.Scale = r.scale;
  settings.FreqStart = r.freqStart;
  settings.FreqCenter = r.freqCenter;
  settings.FreqStop = r.freqStop;
  settings.RBW = r.rbw;
  settings.VBW = r.vbw;
  settings.Span = r.span;
  settings.SweepTime = r.sweepTime;
  const std::optional<DateTime> when = FromOleDate(r.oleDate);
  settings.TimeStamp = when ? FormatDateTime(*when, "yyyy/mm/dd hh:mm:ss") : "";
}

}  // namespace vantrel
