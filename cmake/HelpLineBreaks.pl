# Line breaks for Chinese and Japanese help pages, whose text has no spaces to break lines at:
# the help viewer (wxHTML) breaks lines only after a space, and takes a line end in the source
# for one. In the page's body, a line end between two CJK characters goes (the source is
# wrapped for its readers, not for the viewer), and after each CJK character come a hair space
# (U+200A, a space that shows as next to nothing) and an empty <wbr>, where the line may break,
# except where the rules of Chinese and Japanese line breaking keep two characters together:
# before closing punctuation, small kana and the prolonged sound mark, and after opening
# brackets. Pages without such text pass unchanged.
#   perl -CSD HelpLineBreaks.pl < page.html > out.html
use strict;
use warnings;
use utf8;

my $cjk = qr/[\p{Han}\p{Hiragana}\p{Katakana}\x{3000}-\x{303F}\x{FF01}-\x{FF60}]/;
my $no_break_before = '、。，．・：；？！ー―…‥」』）］｝〕〉》】々〻' .
                      'ぁぃぅぇぉっゃゅょゎゕゖァィゥェォッャュョヮヵヶ' .
                      '\x{FF09}\x{FF0C}\x{FF0E}\x{FF1A}\x{FF1B}\x{FF1F}\x{FF01}';
$no_break_before = qr/[$no_break_before]/;
my $no_break_after = qr/[「『（［｛〔〈《【\x{FF08}]/;

local $/;
my $page = <STDIN>;
my ($head, $body) = split /(?=<body)/i, $page, 2;
if (defined $body) {
  $body =~ s/($cjk)\n[ \t]*(?=$cjk)/$1/g;
  # Text between tags only.
  $body =~ s{([^<>]+)(?=<|$)}{
    my $text = $1;
    $text =~ s/((?!$no_break_after)$cjk)(?=(?!$no_break_before)\S)/$1\x{200A}<wbr>/g;
    $text
  }ge;
  $page = $head . $body;
}
print $page;
