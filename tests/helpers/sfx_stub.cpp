// A self-extractor's program part for the detection tests: it does nothing; its string
// resources say where the archive appended to it begins.
int main() { return 0; }
