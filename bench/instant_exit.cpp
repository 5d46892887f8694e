// A compiler program that does nothing: it ends at once with code 0.
int main() {
    return 0;
}
