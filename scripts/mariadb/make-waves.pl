#!/usr/bin/perl
# Writes COUNT short A-law WAVE files (8000 Hz, mono, 8 bit) named
# tone000.wav ... into DIR: two-tone phrases of a few seconds each.
use strict;
use warnings;
my ($dir, $count) = @ARGV;
die "usage: make-waves.pl DIR COUNT\n" unless defined $count;

sub alaw {
    my ($pcm) = @_; # 16-bit signed
    my $sign = $pcm >= 0 ? 0x80 : 0x00;
    $pcm = -$pcm - 1 if $pcm < 0;
    $pcm = 32767 if $pcm > 32767;
    my $value = $pcm >> 3; # 13-bit magnitude
    my $exp = 0;
    for (my $v = $value >> 5; $v > 0 && $exp < 7; $v >>= 1) { $exp++; }
    my $mant = $exp == 0 ? ($value >> 1) & 0x0F : ($value >> $exp) & 0x0F;
    return (($sign | ($exp << 4) | $mant) ^ 0x55);
}

for my $n (0 .. $count - 1) {
    my $seconds = 2 + $n % 5;
    my $samples = 8000 * $seconds;
    my ($f1, $f2) = (300 + 37 * ($n % 17), 500 + 53 * ($n % 11));
    my $data = '';
    for my $i (0 .. $samples - 1) {
        my $t = $i / 8000;
        my $envelope = (int($t * 2) % 2) ? 0.25 : 0.9; # phrase and pause
        my $s = 9000 * $envelope * (sin(6.2831853 * $f1 * $t) + 0.5 * sin(6.2831853 * $f2 * $t));
        $data .= chr(alaw(int($s)));
    }
    my $header = 'RIFF' . pack('V', 36 + length $data) . 'WAVE' . 'fmt '
        . pack('VvvVVvv', 16, 6, 1, 8000, 8000, 1, 8) . 'data' . pack('V', length $data);
    open(my $fh, '>:raw', sprintf('%s/tone%03d.wav', $dir, $n)) or die "$!\n";
    print $fh $header, $data;
    close $fh;
}
