#!/usr/bin/perl
# pcm_tones.pl FILE HZ...: the runs of tones in a capture of pcm_pace.pl
# (raw little-endian PCM, 16 or 32 bits, format in FILE.format). The first
# channel is cut into 50 ms windows; a window that sounds (RMS over 300 on a
# 16-bit scale) gets the clearly strongest of the HZ by its Goertzel power.
# One line per run of one tone: "HZ START SECONDS". Silent windows and
# windows without a clear tone end a run.
use strict;
use warnings;

my ($file, @tones) = @ARGV;
die "usage: pcm_tones.pl FILE HZ...\n" unless @tones;
open(my $fmt, '<', "$file.format") or die "$file.format: $!\n";
my ($rate, $channels, $bits) = split ' ', scalar <$fmt>;
close $fmt;
open(my $in, '<:raw', $file) or die "$file: $!\n";
local $/;
my $data = <$in>;
close $in;
my $bytes = $bits / 8;
my $frame = $bytes * $channels;
my $frames = int(length($data) / $frame);
my @x;
for my $i (0 .. $frames - 1) {
  my $raw = substr($data, $i * $frame, $bytes);
  # 32-bit samples are taken as floats (Wine mixes in float), scaled to 16 bits.
  push @x, $bits == 16 ? unpack('s<', $raw) : unpack('f<', $raw) * 32767;
}
my $pi = 4 * atan2(1, 1);
my $n = int(0.05 * $rate);
my ($run, $start, $length) = (0, 0, 0);
sub end_run { printf "%d %.2f %.2f\n", $run, $start, $length if $run; $run = 0; }
for (my $at = 0; $at + $n <= $frames; $at += $n) {
  my $sum = 0;
  $sum += $x[$_] ** 2 for $at .. $at + $n - 1;
  my $tone = 0;
  if (sqrt($sum / $n) > 300) {
    my ($best, $second) = (0, 0);
    for my $hz (@tones) {
      my $c = 2 * cos(2 * $pi * $hz / $rate);
      my ($s1, $s2) = (0, 0);
      for my $i ($at .. $at + $n - 1) {
        my $s0 = $x[$i] + $c * $s1 - $s2;
        ($s2, $s1) = ($s1, $s0);
      }
      my $power = ($s1 * $s1 + $s2 * $s2 - $c * $s1 * $s2) / ($n * $n);
      if ($power > $best) { ($second, $best, $tone) = ($best, $power, $hz) }
      elsif ($power > $second) { $second = $power }
    }
    # Clearly one tone: most of the window's power, well above the others.
    $tone = 0 unless $best > 4 * $second && $best > 0.2 * $sum / $n;
  }
  if ($tone && $tone == $run) {
    $length += 0.05;
  } else {
    end_run();
    ($run, $start, $length) = ($tone, $at / $rate, 0.05) if $tone;
  }
}
end_run();
