// Compiled against one layer's view of the tree with PROBE_HEADER naming a header: the build of
// a header from the layer above must fail, the build of one of the layer's own must succeed.
#include PROBE_HEADER

int layerProbe() { return 0; }
