#include "components/property_writers.h"

#include <cstring>
#include <vector>

namespace {

// Little-endian fields into a growing buffer, then one byte array.
class StreamWriter {
 public:
  void U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) out_.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
  void U16(uint16_t v) {
    out_.push_back(static_cast<uint8_t>(v));
    out_.push_back(static_cast<uint8_t>(v >> 8));
  }
  void Counted(ByteView v) {
    U32(v.size);
    if (v.size) out_.insert(out_.end(), v.data, v.data + v.size);
  }
  void Font(const StoredFont& f) {
    if (!f.present) return U32(0);
    U32(sizeof(LogFontA));
    const auto* p = reinterpret_cast<const uint8_t*>(&f.font);
    out_.insert(out_.end(), p, p + sizeof(LogFontA));
  }
  Bytes Take() const { return Bytes(NewByteArray(out_.data(), static_cast<int32_t>(out_.size()))); }

 private:
  std::vector<uint8_t> out_;
};

}  // namespace

Bytes WriteWindowProperties(const WindowProperties& p) {
  StreamWriter w;
  w.U32(p.version);
  w.I32(p.Border);
  w.I32(p.PictureMode);
  w.U32(p.BackColor);
  w.I32(p.MaxButton);
  w.I32(p.MinButton);
  w.I32(p.ControlBox);
  w.I32(p.Position);
  w.I32(p.Movable);
  w.I32(p.p14);
  w.I32(p.EnterMovesFocus);
  w.I32(p.EscCloses);
  w.I32(p.F1OpensHelp);
  w.I32(p.HelpContext);
  if (p.version >= 2) w.I32(p.ShowInTaskbar);
  if (p.version >= 3) {
    w.I32(p.DragAnywhere);
    w.I32(p.Shape);
  }
  if (p.version >= 4) w.I32(p.TopMost);
  if (p.version >= 5) w.I32(p.KeepCaptionActive);
  if (p.version >= 6) w.Counted(p.ClassName);
  w.Counted(p.BackPicture);
  w.Counted(p.Icon);
  w.Counted(p.BackSound);
  w.Counted(p.Caption);
  w.Counted(p.HelpFile);
  return w.Take();
}

Bytes WriteButtonProperties(const ButtonProperties& p) {
  StreamWriter w;
  w.U32(p.version);
  w.I32(p.ButtonType);
  w.I32(p.HAlign);
  w.I32(p.VAlign);
  w.Counted(p.Picture);
  w.Font(p.Font);
  w.Counted(p.Caption);
  return w.Take();
}

Bytes WriteLabelProperties(const LabelProperties& p) {
  StreamWriter w;
  w.U32(p.version);
  w.I32(p.p9);
  w.I32(p.p11);
  w.I32(p.Border);
  w.U32(p.p12);
  w.U32(p.p13);
  w.U32(p.p14);
  w.U32(p.TextColor);
  w.U32(p.BackColor);
  w.I32(p.PictureMode);
  w.I32(p.p20);
  w.U32(p.p21);
  w.U32(p.p22);
  w.U32(p.p23);
  w.I32(p.Align);
  w.I32(p.VAlign);
  w.I32(p.WordWrap);
  w.Font(p.Font);
  w.Counted(p.BackPicture);
  w.Counted(p.Caption);
  if (p.version >= 2) {
    w.Counted(p.p27);
    w.Counted(p.p28);
  }
  return w.Take();
}

Bytes WritePicBoxProperties(const PicBoxProperties& p) {
  StreamWriter w;
  w.U32(p.version);
  w.I32(p.Border);
  w.U32(p.BackColor);
  w.I32(p.DisplayMode);
  w.I32(p.p12);
  w.Counted(p.Picture);
  if (p.version >= 2) {
    w.Counted(p.p13);
    w.Counted(p.p14);
  }
  return w.Take();
}

Bytes WriteEditBoxProperties(const EditBoxProperties& p) {
  StreamWriter w;
  w.U32(p.version);
  w.I32(p.Border);
  w.U32(p.TextColor);
  w.U32(p.BackColor);
  w.I32(p.p13);
  w.I32(p.MaxLength);
  w.I32(p.MultiLine);
  w.I32(p.ScrollBars);
  w.I32(p.Align);
  w.I32(p.p18);
  w.U16(p.PasswordChar);
  w.I32(p.p20);
  w.I32(p.p21);
  w.I32(p.p22);
  w.I32(p.p23);
  w.I32(p.p24);
  w.I32(p.p25);
  w.Font(p.Font);
  w.Counted(p.Content);
  if (p.version >= 2) {
    w.Counted(p.p27);
    w.Counted(p.p28);
  }
  return w.Take();
}

Bytes WriteHtmlViewerProperties(const HtmlViewerProperties& p) {
  StreamWriter w;
  w.U32(p.version);
  w.I32(p.FontSize);
  w.I32(p.Offline);
  w.I32(p.Silent);
  w.Counted(p.url);
  return w.Take();
}
