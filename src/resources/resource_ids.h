/* Resource identifiers, shared by the resource script and the layout: they are
   design facts (src/resources/design.toml), written into the generated design.h. */
#ifndef VELBROOK_RESOURCE_IDS_H
#define VELBROOK_RESOURCE_IDS_H

#include "design.h"

#endif
