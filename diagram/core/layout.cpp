#include "diagram/core/layout.h"

namespace diagram {

PanelLayout panelLayout(int w, int h)
{
    PanelLayout l;
    l.font.narrow = w < 9000;
    l.font.pointSize = l.font.narrow ? 8 : 9;
    if (w > 15000 && h > 10000) l.font.pointSize = 10;
    if (h < 4000) h = 4000;
    if (w < 6000) w = 6000;

    l.picdiagram = {740, 100, w - 3000, h - 1220};
    l.scrheight = {60, 100, 255, h - 1220};
    l.scrtop = {360, 100, 255, h - 1220};
    l.cmdresize = {60, h - 645 - 400, 555, 300};
    l.scrleft = {740, h - 645 - 400, w - 3000, 255};
    l.scrwidth = {740, h - 330 - 400, w - 3000, 255};
    l.chkgrid = {w - 2200, h - 750 - 400, 1000, 270};
    l.lblbackground = {w - 2250, h - 840, 1700, 240};
    l.lblscale = {w - 2250, h - 570, 1700, 240};
    l.cmdallplus = {60, h - 720, 555, 555};
    l.cmdallminus = {660, h - 720, 555, 555};
    l.piclegmain = {w - 2250, 100, 1700, h - 1220};
    l.scrupdown = {w - 500, 100, 255, h - 1220};
    return l;
}

MarginRule marginRule(int w, int h)
{
    if (w >= 7000 && h >= 5000) return {9.0f, static_cast<float>(9.0 / 8.0)};
    return {6.0f, static_cast<float>(6.0 / 5.0)};
}

}  // namespace diagram
