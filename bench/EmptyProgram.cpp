// The benchmark's floor: a program that does nothing, built and linked
// exactly like the tool.
int main() { return 0; }
