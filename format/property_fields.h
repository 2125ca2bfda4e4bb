// Each kind's stored fields in stream order, after the version, written once:
// the reader (property_streams.cpp) and the writer (components/property_writers.cpp)
// both walk these lists, so the two cannot drift apart. F takes pointers to
// the fields: Int, Colour, Char16, Counted and Font, const when writing.
#pragma once

#include "format/property_streams.h"

template <typename P, typename F>
void WindowFields(P& p, F& f) {
  f.Int(&p.Border);
  f.Int(&p.PictureMode);
  f.Colour(&p.BackColor);
  f.Int(&p.MaxButton);
  f.Int(&p.MinButton);
  f.Int(&p.ControlBox);
  f.Int(&p.Position);
  f.Int(&p.Movable);
  f.Int(&p.p14);
  f.Int(&p.EnterMovesFocus);
  f.Int(&p.EscCloses);
  f.Int(&p.F1OpensHelp);
  f.Int(&p.HelpContext);
  if (p.version >= 2) f.Int(&p.ShowInTaskbar);
  if (p.version >= 3) {
    f.Int(&p.DragAnywhere);
    f.Int(&p.Shape);
  }
  if (p.version >= 4) f.Int(&p.TopMost);
  if (p.version >= 5) f.Int(&p.KeepCaptionActive);
  if (p.version >= 6) f.Counted(&p.ClassName);
  f.Counted(&p.BackPicture);
  f.Counted(&p.Icon);
  f.Counted(&p.BackSound);
  f.Counted(&p.Caption);
  f.Counted(&p.HelpFile);
}

template <typename P, typename F>
void ButtonFields(P& p, F& f) {
  f.Int(&p.ButtonType);
  f.Int(&p.HAlign);
  f.Int(&p.VAlign);
  f.Counted(&p.Picture);
  f.Font(&p.Font);
  f.Counted(&p.Caption);
}

template <typename P, typename F>
void LabelFields(P& p, F& f) {
  f.Int(&p.p9);
  f.Int(&p.p11);
  f.Int(&p.Border);
  f.Colour(&p.p12);
  f.Colour(&p.p13);
  f.Colour(&p.p14);
  f.Colour(&p.TextColor);
  f.Colour(&p.BackColor);
  f.Int(&p.PictureMode);
  f.Int(&p.p20);
  f.Colour(&p.p21);
  f.Colour(&p.p22);
  f.Colour(&p.p23);
  f.Int(&p.Align);
  f.Int(&p.VAlign);
  f.Int(&p.WordWrap);
  f.Font(&p.Font);
  f.Counted(&p.BackPicture);
  f.Counted(&p.Caption);
  if (p.version >= 2) {
    f.Counted(&p.p27);
    f.Counted(&p.p28);
  }
}

template <typename P, typename F>
void PicBoxFields(P& p, F& f) {
  f.Int(&p.Border);
  f.Colour(&p.BackColor);
  f.Int(&p.DisplayMode);
  f.Int(&p.p12);
  f.Counted(&p.Picture);
  if (p.version >= 2) {
    f.Counted(&p.p13);
    f.Counted(&p.p14);
  }
}

template <typename P, typename F>
void EditBoxFields(P& p, F& f) {
  f.Int(&p.Border);
  f.Colour(&p.TextColor);
  f.Colour(&p.BackColor);
  f.Int(&p.p13);
  f.Int(&p.MaxLength);
  f.Int(&p.MultiLine);
  f.Int(&p.ScrollBars);
  f.Int(&p.Align);
  f.Int(&p.p18);
  f.Char16(&p.PasswordChar);
  f.Int(&p.p20);
  f.Int(&p.p21);
  f.Int(&p.p22);
  f.Int(&p.p23);
  f.Int(&p.p24);
  f.Int(&p.p25);
  f.Font(&p.Font);
  f.Counted(&p.Content);
  if (p.version >= 2) {
    f.Counted(&p.p27);
    f.Counted(&p.p28);
  }
}

template <typename P, typename F>
void HtmlViewerFields(P& p, F& f) {
  f.Int(&p.FontSize);
  f.Int(&p.Offline);
  f.Int(&p.Silent);
  f.Counted(&p.url);
}
