#!/usr/bin/perl
# Reads the fault table of scripts/mutants.sh and puts one fault into a tree.
#
#   mutants-table.pl list  TABLE            one line per fault: id, file, what (tab-separated)
#   mutants-table.pl apply TABLE ID ROOT    puts fault ID into ROOT/<file>; exit 3 when its
#                                           original text is not found exactly once (stale)
#   mutants-table.pl check TABLE ID ROOT    the same, without writing
use strict;
use warnings;

sub read_table {
    my ($path) = @_;
    open(my $in, '<:raw', $path) or die "mutants: cannot read $path: $!\n";
    my (@faults, %seen, $fault);
    my $finish = sub {
        return unless $fault;
        for my $key (qw(id file find put what)) {
            die "mutants: $path:$fault->{line}: fault without '$key'\n"
                unless defined $fault->{$key};
        }
        die "mutants: $path:$fault->{line}: id '$fault->{id}' used twice\n" if $seen{$fault->{id}}++;
        die "mutants: $path:$fault->{line}: '$fault->{id}' changes nothing\n"
            if $fault->{find} eq $fault->{put};
        push @faults, $fault;
        undef $fault;
    };
    while (my $line = <$in>) {
        chomp $line;
        next if $line =~ /^#/;
        if ($line =~ /^\s*$/) {
            $finish->();
            next;
        }
        # The key fills the first five columns; its text is the rest of the line as it stands,
        # so indentation counts. find and put may take several lines, one per line of code.
        my ($key, $text) = $line =~ /^(id   |file |find |put  |what )(.*)$/ ? ($1, $2)
                         : $line =~ /^(id|file|find|put|what) *$/         ? ($1, '')
                         : die "mutants: $path:$.: not a key in columns 1-5 (id, file, find, "
                             . "put, what) and its text from column 6: $line\n";
        $key =~ s/ +$//;
        $text =~ s/\s+$//;
        $fault //= { line => $. };
        if (defined $fault->{$key} && ($key eq 'find' || $key eq 'put')) {
            $fault->{$key} .= "\n$text";
        } elsif (defined $fault->{$key}) {
            die "mutants: $path:$.: '$key' given twice\n";
        } else {
            $fault->{$key} = $text;
        }
    }
    $finish->();
    return @faults;
}

sub occurrences {
    my ($text, $find) = @_;
    my ($count, $at) = (0, 0);
    while (($at = index($text, $find, $at)) >= 0) {
        ++$count;
        $at += length $find;
    }
    return $count;
}

my ($command, $table, $id, $root) = @ARGV;
die "usage: $0 list TABLE | apply|check TABLE ID ROOT\n" unless $command && $table;
my @faults = read_table($table);

if ($command eq 'list') {
    print join("\t", @{$_}{qw(id file what)}), "\n" for @faults;
    exit 0;
}
die "usage: $0 apply|check TABLE ID ROOT\n"
    unless ($command eq 'apply' || $command eq 'check') && defined $root;
my ($fault) = grep { $_->{id} eq $id } @faults or die "mutants: no fault '$id'\n";
my $path = "$root/$fault->{file}";
open(my $in, '<:raw', $path) or exit 3;    # the file itself is gone: stale too
my $text = do { local $/; <$in> };
close $in;
my $count = occurrences($text, $fault->{find});
if ($count != 1) {
    print "found $count times\n";
    exit 3;
}
exit 0 if $command eq 'check';
substr($text, index($text, $fault->{find}), length $fault->{find}) = $fault->{put};
open(my $out, '>:raw', $path) or die "mutants: cannot write $path: $!\n";
print $out $text;
close $out or die "mutants: cannot write $path: $!\n";
