// The resource table that the Linux build embeds (tools/embed_resources.py
// writes it from resources/Tolvane.rc).
#pragma once

struct EmbeddedResource {
    int id;
    const char* typeName;  // custom type, or null for a standard one
    int typeNumber;
    int language;
    const unsigned char* begin;
    const unsigned char* end;
};

extern const EmbeddedResource kEmbeddedResources[];
extern const int kEmbeddedResourceCount;
