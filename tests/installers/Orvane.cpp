// Stands in for the product's program in the sample installers, which
// only ship it: it is never started.
int main() { return 0; }
