// A Windows program that does nothing: timed by scripts/bench-wine.sh for what starting a
// process under Wine costs by itself.
int main()
{
    return 0;
}
