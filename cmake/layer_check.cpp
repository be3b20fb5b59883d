// The layer checks' program: it calls nothing. Linked with every object of one
// layer, it fails to link when that layer calls a layer above it.
int main() { return 0; }
