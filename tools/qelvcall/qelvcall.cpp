// Placeholder command-line host.
int main() { return 0; }
