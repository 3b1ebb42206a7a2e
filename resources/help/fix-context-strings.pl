#!/usr/bin/perl
# Usage: fix-context-strings.pl BriskJot.chm [chmls]
#
# chmcmd 3.2.2 stores the topic of every [MAP] number as the absolute path of the
# source file on the build machine, so HH_HELP_CONTEXT finds no topic. This rewrites
# those strings to the names the topics have inside the archive. #STRINGS sits in the
# LZX section, which we cannot re-encode, so the mended copy is appended uncompressed
# (section 0) and the directory entry is pointed at it; every other offset into
# #STRINGS stays valid because the mended names take the same places.
use strict;
use warnings;
use File::Temp qw(tempdir);

my $chm = shift or die "usage: $0 file.chm [chmls]\n";
my $chmls = shift // 'chmls';

sub slurp {
    my ($path) = @_;
    open(my $fh, '<:raw', $path) or die "$path: $!\n";
    local $/;
    my $bytes = <$fh>;
    close $fh;
    return $bytes;
}

sub read_encint {
    my ($buf, $pos) = @_;
    my $value = 0;
    while (1) {
        my $byte = ord(substr($$buf, $$pos++, 1));
        $value = ($value << 7) | ($byte & 0x7f);
        return $value if $byte < 0x80;
    }
}

sub encint {
    my ($value) = @_;
    my @groups = ($value & 0x7f);
    while ($value >>= 7) { unshift @groups, 0x80 | ($value & 0x7f); }
    return pack('C*', @groups);
}

my $data = slurp($chm);
die "$chm: not a compiled help file\n" unless substr($data, 0, 4) eq 'ITSF';
my $version = unpack('V', substr($data, 4, 4));
my $hs0_offset = unpack('Q<', substr($data, 0x38, 8));
my $dir_offset = unpack('Q<', substr($data, 0x48, 8));
my $dir_length = unpack('Q<', substr($data, 0x50, 8));
my $content0 = $version >= 3 ? unpack('Q<', substr($data, 0x58, 8)) : $dir_offset + $dir_length;

die "$chm: no directory header\n" unless substr($data, $dir_offset, 4) eq 'ITSP';
my ($itsp_length, $chunk_size, $density) = unpack('x8 V x4 V V', substr($data, $dir_offset, 24));
my $first_chunk = unpack('l<', substr($data, $dir_offset + 0x20, 4));
my $chunks_start = $dir_offset + $itsp_length;

# Directory: listing chunks linked from the first one.
my (@chunks, %entry_of);
for (my $index = $first_chunk; $index != -1;) {
    my $start = $chunks_start + $index * $chunk_size;
    my $chunk = substr($data, $start, $chunk_size);
    die "$chm: bad directory chunk $index\n" unless substr($chunk, 0, 4) eq 'PMGL';
    my ($free, $next) = unpack('V x8 l<', substr($chunk, 4, 16));
    my @entries;
    my $pos = 20;
    while ($pos < $chunk_size - $free) {
        my $name_length = read_encint(\$chunk, \$pos);
        my $entry = { name => substr($chunk, $pos, $name_length) };
        $pos += $name_length;
        $entry->{$_} = read_encint(\$chunk, \$pos) for qw(section offset length);
        push @entries, $entry;
        $entry_of{ $entry->{name} } = [ scalar(@chunks), $entry ];
    }
    push @chunks, { start => $start, entries => \@entries };
    $index = $next;
}

exit 0 unless exists $entry_of{'/#IVB'};
die "$chm: context table without strings\n" unless exists $entry_of{'/#STRINGS'};

my $work = tempdir(CLEANUP => 1);
# chmls prints banners on both streams; its result is judged by the files it leaves.
open(my $saved_stdout, '>&', \*STDOUT) or die "stdout: $!\n";
open(my $saved_stderr, '>&', \*STDERR) or die "stderr: $!\n";
open(STDOUT, '>', '/dev/null') or die "/dev/null: $!\n";
open(STDERR, '>', '/dev/null') or die "/dev/null: $!\n";
for my $name ('#IVB', '#STRINGS') {
    next if system($chmls, 'extract', $chm, "/$name", "$work/$name") == 0 && -f "$work/$name";
    open(STDERR, '>&', $saved_stderr);
    die "$chm: chmls cannot extract /$name\n";
}
open(STDOUT, '>&', $saved_stdout) or die "stdout: $!\n";
open(STDERR, '>&', $saved_stderr) or die "stderr: $!\n";
my $ivb = slurp("$work/#IVB");
my $strings = slurp("$work/#STRINGS");

my $changed = 0;
my (undef, @pairs) = unpack('V*', $ivb);
while (my ($context, $offset) = splice(@pairs, 0, 2)) {
    die "$chm: context $context points outside #STRINGS\n" if $offset >= length($strings);
    my $topic = unpack('Z*', substr($strings, $offset));
    next if exists $entry_of{"/$topic"};
    my @parts = split(m{/}, $topic);
    my $inside;
    for my $i (1 .. $#parts) {
        my $candidate = join('/', @parts[$i .. $#parts]);
        if (exists $entry_of{"/$candidate"}) { $inside = $candidate; last; }
    }
    die "$chm: context $context names $topic, which is not in the file\n" unless defined $inside;
    substr($strings, $offset, length($topic)) =
        $inside . ("\0" x (length($topic) - length($inside)));
    $changed = 1;
}
exit 0 unless $changed;

my ($chunk_index, $strings_entry) = @{ $entry_of{'/#STRINGS'} };
@$strings_entry{qw(section offset length)} = (0, length($data) - $content0, length($strings));
$data .= $strings;

# Re-lay the one chunk whose entry grew, quick-reference table included.
my $chunk = $chunks[$chunk_index];
my $body = '';
my @quickref;
my $step = 1 + (1 << $density);
my @entries = @{ $chunk->{entries} };
for my $i (0 .. $#entries) {
    my $entry = $entries[$i];
    push @quickref, length($body) if ($i + 1) % $step == 0;
    $body .= encint(length($entry->{name})) . $entry->{name}
        . join('', map { encint($entry->{$_}) } qw(section offset length));
}
my $tail = pack('v*', reverse(@quickref), scalar(@entries));
my $free = $chunk_size - 20 - length($body);
die "$chm: directory chunk overflows\n" if $free < length($tail);
my $old = substr($data, $chunk->{start}, $chunk_size);
my $new = 'PMGL' . pack('V', $free) . substr($old, 8, 12) . $body;
$new .= "\0" x ($chunk_size - length($new) - length($tail)) . $tail;
substr($data, $chunk->{start}, $chunk_size) = $new;

# Header section 0 records the file size.
substr($data, $hs0_offset + 8, 8) = pack('Q<', length($data));

open(my $out, '>:raw', "$chm.tmp") or die "$chm.tmp: $!\n";
print $out $data or die "$chm.tmp: $!\n";
close $out or die "$chm.tmp: $!\n";
rename("$chm.tmp", $chm) or die "$chm: $!\n";
