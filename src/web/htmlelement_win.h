// The page's own element behind the portable PageElement interface.
#pragma once

#include <windows.h>
#include <mshtml.h>

#include "web/pageelement.h"

namespace web {

// A counted reference to the element, released with the last copy of the pointer.
tamsolo::PageElementPtr WrapElement(IHTMLElement* element);

}  // namespace web
