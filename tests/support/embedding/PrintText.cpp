// Prints the bytes of the table's text resource 100.
#include <cstdio>

#include "platform/EmbeddedResources.h"

int main() {
    for (int i = 0; i < kEmbeddedResourceCount; ++i) {
        const EmbeddedResource& row = kEmbeddedResources[i];
        if (row.id != 100) continue;
        std::fwrite(row.begin, 1, static_cast<std::size_t>(row.end - row.begin), stdout);
        return 0;
    }
    return 1;
}
