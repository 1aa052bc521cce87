# The example archive "Proverbs" that run.sh and tools/screenshot.sh put into
# the player's data folder. Sourced; zrv_write_example_archive FILE.

zrv_write_example_archive()
{
    printf '%s' "Proverbs from many places" \
        $'\n%\nLook before you leap.' \
        $'\n%\nA stitch in time\r\nsaves nine.' \
        $'\n%\nWhere there is a will, there is a way.' \
        $'\n%\nFortune favours the bold.' \
        $'\n%\nThe early bird catches the worm,\r\nbut the second mouse gets the cheese.' >"$1"
}
