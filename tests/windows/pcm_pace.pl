#!/usr/bin/perl
# Started by ALSA's file plugin for every stream a Wine program plays on the
# test's capture device: pcm_pace.pl OUT RATE CHANNELS BITS. The plugin's
# null slave does not keep time, so this reads the raw PCM no faster than
# real time (the sender then plays at its true speed) and appends it to OUT.
# OUT.format gets "RATE CHANNELS BITS" of the last stream; OUT.streams gets
# one line per stream, the byte offset in OUT where it starts.
use strict;
use warnings;
use Time::HiRes qw(time sleep);

my ($out, $rate, $channels, $bits) = @ARGV;
die "usage: pcm_pace.pl OUT RATE CHANNELS BITS\n" unless defined $bits;
open(my $fmt, '>', "$out.format") or die "$out.format: $!\n";
print $fmt "$rate $channels $bits\n";
close $fmt;
open(my $log, '>>', "$out.streams") or die "$out.streams: $!\n";
print $log ((-s $out) // 0), "\n";
close $log;
open(my $sink, '>>', $out) or die "$out: $!\n";
binmode STDIN;
binmode $sink;
$sink->autoflush(1);
my $bytesPerSecond = $rate * $channels * int(($bits + 7) / 8);
my $start = time;
my $total = 0;
while (1) {
  my $n = sysread(STDIN, my $chunk, 4096);
  last unless $n;
  print $sink $chunk;
  $total += $n;
  my $ahead = $start + $total / $bytesPerSecond - time;
  sleep($ahead) if $ahead > 0;
}
