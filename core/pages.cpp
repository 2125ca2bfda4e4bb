#include "core/pages.h"

#include "content_pages.h"

const ContentPage kContentPages[kContentPageCount] = {
    {"velmora365.html", &velmora_page_velmora365},     {"dashayh263.html", &velmora_page_dashayh263},
    {"huashugli598.html", &velmora_page_huashugli598}, {"yishipq668.html", &velmora_page_yishipq668},
    {"za32xship5.html", &velmora_page_za32xship5},
};
