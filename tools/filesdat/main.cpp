// placeholder until the packer lands
int main() { return 1; }
